#ifndef ZYRCORE_COMMUNICATION_ICOMOBJECT_H
#define ZYRCORE_COMMUNICATION_ICOMOBJECT_H

#include "zyrcore_global.h"

#include <QString>

namespace ZyrCore::Communication {

// One unit of communication with the device: a request and, when it expects an answer, the place
// where the answer lands.
class ZYRCORE_EXPORT IComObject {
public:
    enum CallingType : qint32 { FireAndForget = 0, RequestAndResponse = 1 };

    // Status values the stream sets itself; any other value is the device's own status byte
    // from the reply header (0 there means the device succeeded).
    enum StreamStatus : char {
        StatusNoReply = 0,          // before any reply
        StatusTransportFailure = 1, // not sent, not answered, or a reply that does not fit
        StatusOtherProtocol = 2,    // the reply belongs to another protocol
    };

    virtual ~IComObject() = default;

    virtual void setStatus(char status) = 0;
    virtual char status() const = 0;
    virtual bool valid() const = 0;
    virtual void setValid(bool valid) = 0;
    virtual IComObject* clone() = 0;
    virtual void setCallingType(CallingType callingType) = 0;
    virtual CallingType callingType() = 0;
    virtual void setTracePattern(unsigned int tracePattern) = 0;
    virtual unsigned int tracePattern() = 0;
    virtual IComObject* next() = 0;
    virtual void setNext(IComObject* next) = 0;
    virtual void setComment(QString comment) = 0;
    virtual QString getComment() = 0;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_ICOMOBJECT_H
