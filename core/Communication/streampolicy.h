#ifndef ZYRCORE_COMMUNICATION_STREAMPOLICY_H
#define ZYRCORE_COMMUNICATION_STREAMPOLICY_H

#include "zyrcore_global.h"

namespace ZyrCore::Communication {

// Decides whether a stream flushes after every object or once when an execute call ends.
class ZYRCORE_EXPORT StreamPolicy {
public:
    virtual bool flushImmediately() const = 0;

protected:
    ~StreamPolicy() = default;
};

class ZYRCORE_EXPORT ImmediateFlushPolicy : public StreamPolicy {
public:
    bool flushImmediately() const override { return true; }
};

class ZYRCORE_EXPORT LateFlushPolicy : public StreamPolicy {
public:
    bool flushImmediately() const override { return false; }
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_STREAMPOLICY_H
