#ifndef ZYRCORE_COMMUNICATION_IEXECUTABLE_H
#define ZYRCORE_COMMUNICATION_IEXECUTABLE_H

#include "zyrcore_global.h"

namespace ZyrCore::Communication {

class IComExecutor;

// A com object that runs its own exchange: the stream hands itself over instead of framing it.
class ZYRCORE_EXPORT IExecutable {
public:
    virtual ~IExecutable() = default;
    virtual bool execute(IComExecutor* executor) = 0;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_IEXECUTABLE_H
