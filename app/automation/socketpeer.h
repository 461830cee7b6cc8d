#ifndef ZYRAPP_AUTOMATION_SOCKETPEER_H
#define ZYRAPP_AUTOMATION_SOCKETPEER_H

#include <QtGlobal>

// Whether the peer of a connected TCP socket has closed its end or reset the connection, told
// at once and leaving anything it sent unread. Qt learns of a close only when its notifier reads
// it from the event loop; this asks the socket itself.
bool hasPeerClosed(qintptr socketDescriptor);

// Closes a socket descriptor that no QTcpSocket owns.
void closeSocketDescriptor(qintptr socketDescriptor);

#endif // ZYRAPP_AUTOMATION_SOCKETPEER_H
