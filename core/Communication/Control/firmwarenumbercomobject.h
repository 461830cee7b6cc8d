#ifndef ZYRCORE_COMMUNICATION_CONTROL_FIRMWARENUMBERCOMOBJECT_H
#define ZYRCORE_COMMUNICATION_CONTROL_FIRMWARENUMBERCOMOBJECT_H

#include "Communication/ixmlserializable.h"
#include "Communication/serializablecomobject.h"

namespace ZyrCore::Communication::Control {

// Reads the board firmware's version: an empty request, a reply of major, minor and marker.
class ZYRCORE_EXPORT FirmwareNumberComObject : public SerializableComObject,
                                               public virtual IXmlSerializable {
public:
    static constexpr unsigned char firmwareNumberProtocol = 103;
    static constexpr unsigned int replySize = 3;

    explicit FirmwareNumberComObject(unsigned int tracePattern);
    FirmwareNumberComObject(const FirmwareNumberComObject& other) = default;

    IComObject* clone() override;
    // Nothing to write; the buffer may be null.
    bool serialize(unsigned char* buffer, unsigned int size) override;
    // A short reply gives false and leaves the number at 0.
    bool deserialize(unsigned char* buffer, unsigned int size) override;
    bool xmlSerialize(QXmlStreamWriter* writer, unsigned int telegramType) override;
    bool xmlDeserialize(QXmlStreamReader* reader) override;

    // Major in bits 16-23, minor in bits 8-15, marker in bits 0-7.
    unsigned int get() const;

private:
    unsigned int itsFirmwareNumber = 0;
};

} // namespace ZyrCore::Communication::Control

#endif // ZYRCORE_COMMUNICATION_CONTROL_FIRMWARENUMBERCOMOBJECT_H
