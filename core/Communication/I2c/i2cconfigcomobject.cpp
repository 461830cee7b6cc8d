#include "Communication/I2c/i2cconfigcomobject.h"

#include "Communication/comobjecthelper.h"
#include "Tools/zyrassert.h"

namespace ZyrCore::Communication::I2c {

namespace {
const char* const kSource = "Communication/I2c/i2cconfigcomobject";
constexpr unsigned char kAddressSize = 1;
} // namespace

I2cConfigComObject::I2cConfigComObject(unsigned char module, unsigned char clockMode,
                                       unsigned int customClockSpeed, unsigned int tracePattern)
    : SerializableComObject(configProtocol, requestSize, 0, FireAndForget, tracePattern)
    , itsModule(module == 1 || module == 2 ? module : 1)
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

// No telegram form yet, so the stream does not trace this object.
bool I2cConfigComObject::xmlSerialize(QXmlStreamWriter*, unsigned int) {
    return false;
}
bool I2cConfigComObject::xmlDeserialize(QXmlStreamReader*) {
    return false;
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
