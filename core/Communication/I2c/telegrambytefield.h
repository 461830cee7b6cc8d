#ifndef ZYRCORE_COMMUNICATION_I2C_TELEGRAMBYTEFIELD_H
#define ZYRCORE_COMMUNICATION_I2C_TELEGRAMBYTEFIELD_H

#include "Communication/comstream.h"

#include <QString>

#include <array>

namespace ZyrCore::Tools {
class XmlMapper;
class XmlMappingEntry;
} // namespace ZyrCore::Tools

namespace ZyrCore::Communication::I2c {

// An optional child of hex bytes in a block-read or transfer telegram, read apart from the object
// so that a telegram that fails leaves the object as it was. It takes at most the largest maximum
// block size a telegram may set: what both the object's buffer and one frame's payload hold.
class TelegramByteField {
public:
    // Maps the child called name onto this field; the mapper must outlive it. bufferSize is the
    // size of the object's buffer.
    TelegramByteField(Tools::XmlMapper& mapper, const QString& name, unsigned int bufferSize);
    TelegramByteField(const TelegramByteField&) = delete;
    TelegramByteField& operator=(const TelegramByteField&) = delete;

    // The largest maximum block size a telegram may set.
    unsigned int limit() const { return itsLimit; }
    bool wasFound() const;
    // The bytes read: none when the child is absent.
    unsigned int size() const;
    const unsigned char* bytes() const { return itsBytes.data(); }
    // The child is there, with another number of bytes than count.
    bool contradicts(unsigned int count) const { return wasFound() && size() != count; }

private:
    std::array<unsigned char, ComStream::maxPayloadSize> itsBytes;
    unsigned char* itsBuffer = itsBytes.data();
    unsigned int itsLimit;
    const Tools::XmlMappingEntry* itsEntry = nullptr;
};

} // namespace ZyrCore::Communication::I2c

#endif // ZYRCORE_COMMUNICATION_I2C_TELEGRAMBYTEFIELD_H
