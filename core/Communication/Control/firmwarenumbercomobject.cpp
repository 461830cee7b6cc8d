#include "Communication/Control/firmwarenumbercomobject.h"

namespace ZyrCore::Communication::Control {

FirmwareNumberComObject::FirmwareNumberComObject(unsigned int tracePattern)
    : SerializableComObject(firmwareNumberProtocol, 0, replySize, RequestAndResponse,
                            tracePattern) {}

IComObject* FirmwareNumberComObject::clone() {
    return new FirmwareNumberComObject(*this);
}

bool FirmwareNumberComObject::serialize(unsigned char*, unsigned int size) {
    return serializeSize() <= size;
}

bool FirmwareNumberComObject::deserialize(unsigned char* buffer, unsigned int size) {
    itsFirmwareNumber = 0;
    if (buffer == nullptr || deserializeSize() > size)
        return false;
    itsFirmwareNumber = (static_cast<unsigned int>(buffer[0]) << 16) |
                        (static_cast<unsigned int>(buffer[1]) << 8) | buffer[2];
    return true;
}

// No telegram form yet, so the stream does not trace this object.
bool FirmwareNumberComObject::xmlSerialize(QXmlStreamWriter*, unsigned int) {
    return false;
}
bool FirmwareNumberComObject::xmlDeserialize(QXmlStreamReader*) {
    return false;
}

unsigned int FirmwareNumberComObject::get() const {
    return itsFirmwareNumber;
}

} // namespace ZyrCore::Communication::Control
