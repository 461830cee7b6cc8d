#include "Communication/I2c/i2cwriteregistercomobject.h"

#include "Communication/I2c/registertelegramfields.h"
#include "Communication/I2c/registerwriterequest.h"
#include "Communication/telegramfields.h"
#include "Tools/zyrassert.h"

namespace ZyrCore::Communication::I2c {

namespace {
const char* const kSource = "Communication/I2c/i2cwriteregistercomobject";
}

I2cWriteRegisterComObject::I2cWriteRegisterComObject()
    : RegisterComObject(0, 0, 0, FireAndForget, 0, 0, 0, 0, 0)
    , itsSlaveAddress(0) {}

I2cWriteRegisterComObject::I2cWriteRegisterComObject(
    unsigned char slaveAddress, unsigned int registerAddress, unsigned int registerValue,
    unsigned int tracePattern, unsigned int addressByteWidth, unsigned int valueByteWidth)
    : RegisterComObject(i2cProtocol, 0, 0, FireAndForget, tracePattern, addressByteWidth,
                        valueByteWidth, registerAddress, registerValue)
    , itsSlaveAddress(slaveAddress) {
    updateSizes();
}

IComObject* I2cWriteRegisterComObject::clone() {
    return new I2cWriteRegisterComObject(*this);
}

bool I2cWriteRegisterComObject::serialize(unsigned char* buffer, unsigned int size) {
    return serializeRegisterWriteRequest(*this, itsSlaveAddress, {registerValue()}, buffer, size);
}

bool I2cWriteRegisterComObject::deserialize(unsigned char*, unsigned int) {
    ZYR_ASSERT(kSource, false, "WriteRegister has no result. Deserialize not supported.");
}

void I2cWriteRegisterComObject::setValueByteWidth(unsigned int width) {
    RegisterComObject::setValueByteWidth(width);
    updateSizes();
}

void I2cWriteRegisterComObject::setAddressByteWidth(unsigned int width) {
    RegisterComObject::setAddressByteWidth(width);
    updateSizes();
}

bool I2cWriteRegisterComObject::xmlSerialize(QXmlStreamWriter* writer, unsigned int telegramType) {
    if (writer == nullptr)
        return false;
    TelegramFields::beginTelegram(this, writer, telegramType, QStringLiteral("I2cWriteRegister"));
    RegisterTelegramFields::of(*this, itsSlaveAddress).writeAddressing(writer);
    TelegramFields::writeHex(writer, QStringLiteral("Data"), registerValue());
    TelegramFields::endTelegram(writer);
    return true;
}

bool I2cWriteRegisterComObject::xmlDeserialize(QXmlStreamReader* reader) {
    if (reader == nullptr)
        return false;
    RegisterTelegramFields fields = RegisterTelegramFields::of(*this, itsSlaveAddress);
    if (!fields.read(reader, false))
        return false;
    itsSlaveAddress = fields.slaveAddress;
    fields.applyTo(*this);
    return true;
}

unsigned char I2cWriteRegisterComObject::i2cSlaveAddress() const {
    return itsSlaveAddress;
}

void I2cWriteRegisterComObject::updateSizes() {
    setSerializeSize(registerWriteRequestSize(*this, 1));
    setDeserializeSize(0);
}

} // namespace ZyrCore::Communication::I2c
