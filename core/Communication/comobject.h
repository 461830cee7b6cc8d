#ifndef ZYRCORE_COMMUNICATION_COMOBJECT_H
#define ZYRCORE_COMMUNICATION_COMOBJECT_H

#include "Communication/icomobject.h"

namespace ZyrCore::Communication {

// Common bookkeeping of every com object; the framed stream drives these fields during a transfer.
class ZYRCORE_EXPORT ComObject : public virtual IComObject {
public:
    ComObject(CallingType callingType, unsigned int tracePattern);
    // A copy never belongs to a pending chain: its next link is null.
    ComObject(const ComObject& other);
    ComObject& operator=(const ComObject&) = delete;
    ~ComObject() override = default;

    void setStatus(char status) override;
    char status() const override;
    bool valid() const override;
    void setValid(bool valid) override;
    void setCallingType(CallingType callingType) override;
    CallingType callingType() override;
    void setTracePattern(unsigned int tracePattern) override;
    unsigned int tracePattern() override;
    IComObject* next() override;
    void setNext(IComObject* next) override;
    void setComment(QString comment) override;
    QString getComment() override;

private:
    CallingType itsCallingType;
    unsigned int itsTracePattern;
    char itsStatus = 0;
    QString itsComment;
    bool itsValid = true;
    IComObject* itsNext = nullptr;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_COMOBJECT_H
