#ifndef ZYRCORE_COMMUNICATION_ICOMEXECUTOR_H
#define ZYRCORE_COMMUNICATION_ICOMEXECUTOR_H

#include "zyrcore_global.h"

#include <QQueue>

namespace ZyrCore::Communication {

class IComObject;

// Runs com objects against a device. The outcome of an exchange is read from lastError() and
// from each object's status() and valid().
class ZYRCORE_EXPORT IComExecutor {
public:
    virtual ~IComExecutor() = default;

    virtual bool open() = 0;
    virtual bool close() = 0;
    virtual bool isOpen() = 0;
    virtual int lastError() = 0;
    virtual bool execute(IComObject* comObject) = 0;
    virtual void execute(QQueue<IComObject*>* queue) = 0;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_ICOMEXECUTOR_H
