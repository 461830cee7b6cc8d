#include "Communication/Control/resetfwcomobject.h"

#include "Tools/zyrassert.h"

namespace ZyrCore::Communication::Control {

namespace {
const char* const kSource = "Communication/Control/resetfwcomobject";
}

ResetFwComObject::ResetFwComObject(unsigned char objectsToReset, unsigned int tracePattern)
    : SerializableComObject(resetProtocol, 1, 0, FireAndForget, tracePattern)
    , itsObjectsToReset(objectsToReset) {}

IComObject* ResetFwComObject::clone() {
    return new ResetFwComObject(*this);
}

bool ResetFwComObject::serialize(unsigned char* buffer, unsigned int size) {
    ZYR_ASSERT_NOT_NULL(kSource, buffer);
    if (serializeSize() > size)
        return false;
    buffer[0] = itsObjectsToReset;
    return true;
}

bool ResetFwComObject::deserialize(unsigned char*, unsigned int) {
    return false;
}

// No telegram form yet, so the stream does not trace this object.
bool ResetFwComObject::xmlSerialize(QXmlStreamWriter*, unsigned int) {
    return false;
}
bool ResetFwComObject::xmlDeserialize(QXmlStreamReader*) {
    return false;
}

unsigned char ResetFwComObject::objectsToReset() const {
    return itsObjectsToReset;
}

} // namespace ZyrCore::Communication::Control
