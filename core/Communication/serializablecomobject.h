#ifndef ZYRCORE_COMMUNICATION_SERIALIZABLECOMOBJECT_H
#define ZYRCORE_COMMUNICATION_SERIALIZABLECOMOBJECT_H

#include "Communication/comobject.h"
#include "Communication/iserializable.h"

namespace ZyrCore::Communication {

// Base of every device command: a protocol byte and fixed request and reply sizes.
class ZYRCORE_EXPORT SerializableComObject : public ComObject, public virtual ISerializable {
public:
    SerializableComObject(unsigned char protocol, unsigned int serializeSize,
                          unsigned int deserializeSize, CallingType callingType,
                          unsigned int tracePattern);
    SerializableComObject(const SerializableComObject& other) = default;

    unsigned char protocol() const override;
    unsigned int serializeSize() const override;
    unsigned int deserializeSize() const override;

protected:
    // Commands whose sizes follow their settings keep them current through these.
    void setSerializeSize(unsigned int size) { itsSerializeSize = size; }
    void setDeserializeSize(unsigned int size) { itsDeserializeSize = size; }

private:
    unsigned char itsProtocol;
    unsigned int itsSerializeSize;
    unsigned int itsDeserializeSize;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_SERIALIZABLECOMOBJECT_H
