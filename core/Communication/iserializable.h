#ifndef ZYRCORE_COMMUNICATION_ISERIALIZABLE_H
#define ZYRCORE_COMMUNICATION_ISERIALIZABLE_H

#include "zyrcore_global.h"

namespace ZyrCore::Communication {

// A com object with a byte form: the stream frames what serialize writes and hands the reply
// payload to deserialize.
class ZYRCORE_EXPORT ISerializable {
public:
    virtual ~ISerializable() = default;

    virtual unsigned char protocol() const = 0;
    virtual unsigned int serializeSize() const = 0;
    virtual unsigned int deserializeSize() const = 0;
    // Writes the request payload into buffer, whose capacity is size; false: nothing to send.
    virtual bool serialize(unsigned char* buffer, unsigned int size) = 0;
    // Reads a reply payload of size bytes; false: the payload is not acceptable.
    virtual bool deserialize(unsigned char* buffer, unsigned int size) = 0;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_ISERIALIZABLE_H
