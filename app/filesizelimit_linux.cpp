#include "filesizelimit.h"

#include <csignal>

// By default the kernel ends a process with SIGXFSZ when a write passes its file-size limit;
// ignored, the write fails with EFBIG instead.
void letFileSizeLimitFailWrites() {
    std::signal(SIGXFSZ, SIG_IGN);
}
