#include "Communication/comobject.h"

namespace ZyrCore::Communication {

ComObject::ComObject(CallingType callingType, unsigned int tracePattern)
    : itsCallingType(callingType)
    , itsTracePattern(tracePattern) {}

ComObject::ComObject(const ComObject& other)
    : IComObject(other)
    , itsCallingType(other.itsCallingType)
    , itsTracePattern(other.itsTracePattern)
    , itsStatus(other.itsStatus)
    , itsComment(other.itsComment)
    , itsValid(other.itsValid) {}

void ComObject::setStatus(char status) {
    itsStatus = status;
}
char ComObject::status() const {
    return itsStatus;
}
bool ComObject::valid() const {
    return itsValid;
}
void ComObject::setValid(bool valid) {
    itsValid = valid;
}
void ComObject::setCallingType(CallingType callingType) {
    itsCallingType = callingType;
}
IComObject::CallingType ComObject::callingType() {
    return itsCallingType;
}
void ComObject::setTracePattern(unsigned int tracePattern) {
    itsTracePattern = tracePattern;
}
unsigned int ComObject::tracePattern() {
    return itsTracePattern;
}
IComObject* ComObject::next() {
    return itsNext;
}
void ComObject::setNext(IComObject* next) {
    itsNext = next;
}
void ComObject::setComment(QString comment) {
    itsComment = std::move(comment);
}
QString ComObject::getComment() {
    return itsComment;
}

} // namespace ZyrCore::Communication
