#include "Communication/I2c/i2cconfigcomobject.h"

#include "Communication/comobjecthelper.h"
#include "Communication/telegramfields.h"
#include "Tools/zyrassert.h"

#include <QXmlStreamReader>

namespace ZyrCore::Communication::I2c {

namespace {
const char* const kSource = "Communication/I2c/i2cconfigcomobject";
constexpr unsigned char kAddressSize = 1;

// The board knows modules 1 and 2; anything else is taken as 1.
unsigned char normalizedModule(unsigned char module) {
    return module == 2 ? 2 : 1;
}
} // namespace

I2cConfigComObject::I2cConfigComObject(unsigned char module, unsigned char clockMode,
                                       unsigned int customClockSpeed, unsigned int tracePattern)
    : SerializableComObject(configProtocol, requestSize, 0, FireAndForget, tracePattern)
    , itsModule(normalizedModule(module))
    , itsClockMode(clockMode)
    , itsCustomClockSpeed(customClockSpeed) {}

IComObject* I2cConfigComObject::clone() {
    return new I2cConfigComObject(*this);
}

bool I2cConfigComObject::serialize(unsigned char* buffer, unsigned int size) {
    ZYR_ASSERT_NOT_NULL(kSource, buffer);
    if (serializeSize() > size)
        return false;
    buffer[0] = itsModule;
    buffer[1] = kAddressSize;
    buffer[2] = itsClockMode;
    ComObjectHelper::serialize(buffer + 3, 4, itsCustomClockSpeed);
    return true;
}

bool I2cConfigComObject::deserialize(unsigned char*, unsigned int) {
    ZYR_ASSERT(kSource, false, "I2cConfigComObject has no result. Deserialize not supported.");
}

bool I2cConfigComObject::xmlSerialize(QXmlStreamWriter* writer, unsigned int telegramType) {
    if (writer == nullptr)
        return false;
    TelegramFields::beginTelegram(this, writer, telegramType, QStringLiteral("I2cConfig"));
    TelegramFields::writeHex(writer, QStringLiteral("Module"), itsModule);
    TelegramFields::writeHex(writer, QStringLiteral("AddressSize"), kAddressSize);
    TelegramFields::writeHex(writer, QStringLiteral("ClockMode"), itsClockMode);
    TelegramFields::writeHex(writer, QStringLiteral("CustomClockSpeed"), itsCustomClockSpeed);
    TelegramFields::endTelegram(writer);
    return true;
}

bool I2cConfigComObject::xmlDeserialize(QXmlStreamReader* reader) {
    if (reader == nullptr)
        return false;
    enum { Module, AddressSize, ClockMode, CustomClockSpeed };
    TelegramFields::HexChild children[] = {{QLatin1String("Module")},
                                           {QLatin1String("AddressSize")},
                                           {QLatin1String("ClockMode")},
                                           {QLatin1String("CustomClockSpeed")}};
    if (!TelegramFields::readHexChildren(reader, children, 4))
        return false;
    // The board takes address size 1 only.
    if (children[AddressSize].present && children[AddressSize].value != kAddressSize)
        return false;
    if (children[Module].present)
        // Cut to the byte first, as the constructor's argument is.
        itsModule = normalizedModule(static_cast<unsigned char>(children[Module].value));
    if (children[ClockMode].present)
        itsClockMode = static_cast<unsigned char>(children[ClockMode].value);
    if (children[CustomClockSpeed].present)
        itsCustomClockSpeed = children[CustomClockSpeed].value;
    return true;
}

const char* I2cConfigComObject::clockModeToFrequency(unsigned char clockMode) {
    switch (clockMode) {
    case 1:
        return "100KHz";
    case 2:
        return "400KHz";
    case 3:
        return "1MHz";
    case 4:
        return "3.4MHz";
    case 255:
        return "custom speed";
    default:
        return "unknown";
    }
}

unsigned char I2cConfigComObject::module() const {
    return itsModule;
}
unsigned char I2cConfigComObject::clockMode() const {
    return itsClockMode;
}
unsigned int I2cConfigComObject::customClockSpeed() const {
    return itsCustomClockSpeed;
}

} // namespace ZyrCore::Communication::I2c
