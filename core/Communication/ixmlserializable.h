#ifndef ZYRCORE_COMMUNICATION_IXMLSERIALIZABLE_H
#define ZYRCORE_COMMUNICATION_IXMLSERIALIZABLE_H

#include "zyrcore_global.h"

class QXmlStreamReader;
class QXmlStreamWriter;

namespace ZyrCore::Communication {

// A com object with a telegram form; objects without it are never traced.
class ZYRCORE_EXPORT IXmlSerializable {
public:
    virtual ~IXmlSerializable() = default;

    // telegramType: 0 request, 1 response.
    virtual bool xmlSerialize(QXmlStreamWriter* writer, unsigned int telegramType) = 0;
    virtual bool xmlDeserialize(QXmlStreamReader* reader) = 0;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_IXMLSERIALIZABLE_H
