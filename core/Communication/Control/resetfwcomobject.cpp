#include "Communication/Control/resetfwcomobject.h"

#include "Communication/telegramfields.h"
#include "Tools/zyrassert.h"

#include <QXmlStreamReader>

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

bool ResetFwComObject::xmlSerialize(QXmlStreamWriter* writer, unsigned int telegramType) {
    if (writer == nullptr)
        return false;
    TelegramFields::beginTelegram(this, writer, telegramType, QStringLiteral("Reset"));
    TelegramFields::writeHex(writer, QStringLiteral("Objects"), itsObjectsToReset);
    TelegramFields::endTelegram(writer);
    return true;
}

bool ResetFwComObject::xmlDeserialize(QXmlStreamReader* reader) {
    if (reader == nullptr)
        return false;
    TelegramFields::HexChild objects{QLatin1String("Objects")};
    if (!TelegramFields::readHexChildren(reader, &objects, 1))
        return false;
    if (objects.present)
        itsObjectsToReset = static_cast<unsigned char>(objects.value);
    return true;
}

unsigned char ResetFwComObject::objectsToReset() const {
    return itsObjectsToReset;
}

} // namespace ZyrCore::Communication::Control
