#include "socketpeer.h"

#include <poll.h>
#include <unistd.h>

// POLLRDHUP: the peer has shut down its writing half, even with data still unread; POLLHUP and
// POLLERR: the connection is gone or was reset.
bool hasPeerClosed(qintptr socketDescriptor) {
    pollfd watched{int(socketDescriptor), POLLRDHUP, 0};
    return ::poll(&watched, 1, 0) == 1 && (watched.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0;
}

void closeSocketDescriptor(qintptr socketDescriptor) {
    ::close(int(socketDescriptor));
}
