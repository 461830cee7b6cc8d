#ifndef ZYRCORE_COMMUNICATION_CONTROL_RESETFWCOMOBJECT_H
#define ZYRCORE_COMMUNICATION_CONTROL_RESETFWCOMOBJECT_H

#include "Communication/ixmlserializable.h"
#include "Communication/serializablecomobject.h"

namespace ZyrCore::Communication::Control {

// Asks the board to reset a set of its objects: one byte, passed on unchanged; no reply.
class ZYRCORE_EXPORT ResetFwComObject : public SerializableComObject,
                                        public virtual IXmlSerializable {
public:
    static constexpr unsigned char resetProtocol = 101;

    ResetFwComObject(unsigned char objectsToReset, unsigned int tracePattern);
    ResetFwComObject(const ResetFwComObject& other) = default;

    IComObject* clone() override;
    bool serialize(unsigned char* buffer, unsigned int size) override;
    // There is no reply to read: always false.
    bool deserialize(unsigned char* buffer, unsigned int size) override;
    bool xmlSerialize(QXmlStreamWriter* writer, unsigned int telegramType) override;
    bool xmlDeserialize(QXmlStreamReader* reader) override;

    unsigned char objectsToReset() const;

private:
    unsigned char itsObjectsToReset;
};

} // namespace ZyrCore::Communication::Control

#endif // ZYRCORE_COMMUNICATION_CONTROL_RESETFWCOMOBJECT_H
