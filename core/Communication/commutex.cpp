#include "Communication/commutex.h"

namespace ZyrCore::Communication {

ComMutex::~ComMutex() {
    while (unlock()) {
    }
}

void ComMutex::lock() {
    itsMutex.lock();
    ++itsLockCount;
}

bool ComMutex::unlock() {
    if (itsLockCount == 0)
        return false;
    --itsLockCount;
    itsMutex.unlock();
    return true;
}

} // namespace ZyrCore::Communication
