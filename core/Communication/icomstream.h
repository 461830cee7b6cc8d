#ifndef ZYRCORE_COMMUNICATION_ICOMSTREAM_H
#define ZYRCORE_COMMUNICATION_ICOMSTREAM_H

#include "zyrcore_global.h"

namespace ZyrCore::Communication {

class ComDriver;
class IComObject;

class ZYRCORE_EXPORT IComStream {
public:
    virtual ~IComStream() = default;

    virtual bool open() = 0;
    virtual bool close() = 0;
    virtual bool isOpen() = 0;
    virtual void append(IComObject* comObject) = 0;
    virtual void flush() = 0;
    virtual IComStream& operator<<(IComObject& comObject) = 0;
    virtual int lastError() = 0;
    virtual ComDriver* comDriver() = 0;
    virtual bool isResultPending() = 0;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_ICOMSTREAM_H
