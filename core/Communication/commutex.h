#ifndef ZYRCORE_COMMUNICATION_COMMUTEX_H
#define ZYRCORE_COMMUNICATION_COMMUTEX_H

#include "zyrcore_global.h"

#include <QMutex>

namespace ZyrCore::Communication {

// Recursive lock whose hold count belongs to its owner (a stream), not to a thread, so the owner
// can drop every hold at once.
class ZYRCORE_EXPORT ComMutex {
public:
    ComMutex() = default;
    ComMutex(const ComMutex&) = delete;
    ComMutex& operator=(const ComMutex&) = delete;
    virtual ~ComMutex();

    void lock();
    // False when nothing is held.
    bool unlock();

private:
    int itsLockCount = 0;
    QMutex itsMutex{QMutex::Recursive};
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_COMMUTEX_H
