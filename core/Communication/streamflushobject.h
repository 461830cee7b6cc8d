#ifndef ZYRCORE_COMMUNICATION_STREAMFLUSHOBJECT_H
#define ZYRCORE_COMMUNICATION_STREAMFLUSHOBJECT_H

#include "Communication/ixmlserializable.h"
#include "Communication/serializablecomobject.h"

namespace ZyrCore::Communication {

// Stands for "flush" in the telegram stream: protocol 127, fire-and-forget, no payload.
class ZYRCORE_EXPORT StreamFlushObject : public SerializableComObject,
                                         public virtual IXmlSerializable {
public:
    static constexpr unsigned char flushProtocol = 0x7F;
    static constexpr unsigned int flushTracePattern = 0x80000000u;

    StreamFlushObject();
    StreamFlushObject(const StreamFlushObject& other) = default;

    bool serialize(unsigned char* buffer, unsigned int size) override;
    // A flush has no reply: calling this is a programming error.
    bool deserialize(unsigned char* buffer, unsigned int size) override;
    IComObject* clone() override;
    bool xmlSerialize(QXmlStreamWriter* writer, unsigned int telegramType) override;
    bool xmlDeserialize(QXmlStreamReader* reader) override;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_STREAMFLUSHOBJECT_H
