#include "Communication/Control/firmwarenumbercomobject.h"

#include "Communication/telegramfields.h"
#include "Tools/xmlmapper.h"
#include "Tools/zyrassert.h"

#include <QXmlStreamReader>

namespace ZyrCore::Communication::Control {

namespace {
const char* const kSource = "Communication/Control/firmwarenumbercomobject";
}

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

bool FirmwareNumberComObject::xmlSerialize(QXmlStreamWriter* writer, unsigned int telegramType) {
    if (writer == nullptr)
        return false;
    TelegramFields::beginTelegram(this, writer, telegramType, QStringLiteral("FirmwareNumber"));
    if (telegramType != 0) {
        TelegramFields::writeOutHex(writer, QStringLiteral("Major"),
                                    (itsFirmwareNumber >> 16) & 0xFF);
        TelegramFields::writeOutHex(writer, QStringLiteral("Minor"),
                                    (itsFirmwareNumber >> 8) & 0xFF);
        TelegramFields::writeOutHex(writer, QStringLiteral("Marker"), itsFirmwareNumber & 0xFF);
    }
    TelegramFields::endTelegram(writer);
    return true;
}

bool FirmwareNumberComObject::xmlDeserialize(QXmlStreamReader* xml) {
    ZYR_ASSERT_NOT_NULL(kSource, xml);
    unsigned char major = 0;
    unsigned char minor = 0;
    unsigned char marker = 0;
    ZyrCore::Tools::XmlMapper mapper;
    mapper.addEntry({QStringLiteral("Major"), &major, 16, true});
    mapper.addEntry({QStringLiteral("Minor"), &minor, 16, true});
    mapper.addEntry({QStringLiteral("Marker"), &marker, 16, true});
    if (!mapper.tryParseStrictly(xml))
        return false;
    itsFirmwareNumber =
        (static_cast<unsigned int>(major) << 16) | (static_cast<unsigned int>(minor) << 8) | marker;
    return true;
}

unsigned int FirmwareNumberComObject::get() const {
    return itsFirmwareNumber;
}

} // namespace ZyrCore::Communication::Control
