#include "Communication/serializablecomobject.h"

namespace ZyrCore::Communication {

SerializableComObject::SerializableComObject(unsigned char protocol, unsigned int serializeSize,
                                             unsigned int deserializeSize, CallingType callingType,
                                             unsigned int tracePattern)
    : ComObject(callingType, tracePattern)
    , itsProtocol(protocol)
    , itsSerializeSize(serializeSize)
    , itsDeserializeSize(deserializeSize) {}

unsigned char SerializableComObject::protocol() const {
    return itsProtocol;
}
unsigned int SerializableComObject::serializeSize() const {
    return itsSerializeSize;
}
unsigned int SerializableComObject::deserializeSize() const {
    return itsDeserializeSize;
}

} // namespace ZyrCore::Communication
