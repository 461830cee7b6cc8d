#include "Communication/I2c/i2cmodifyregistercomobject.h"

#include "Communication/I2c/registertelegramfields.h"
#include "Communication/I2c/registerwriterequest.h"
#include "Communication/telegramfields.h"
#include "Tools/zyrassert.h"

namespace ZyrCore::Communication::I2c {

namespace {
const char* const kSource = "Communication/I2c/i2cmodifyregistercomobject";
}

I2cModifyRegisterComObject::I2cModifyRegisterComObject()
    : ModifyRegisterComObject(0, 0, 0, FireAndForget, 0, 0, 0, 0, 0, 0)
    , itsSlaveAddress(0) {}

I2cModifyRegisterComObject::I2cModifyRegisterComObject(unsigned char slaveAddress,
                                                       unsigned int registerAddress,
                                                       unsigned int registerValue,
                                                       unsigned int mask, unsigned int tracePattern,
                                                       unsigned int addressByteWidth,
                                                       unsigned int valueByteWidth)
    : ModifyRegisterComObject(modifyProtocol, 0, 0, FireAndForget, tracePattern, addressByteWidth,
                              valueByteWidth, registerAddress, registerValue, mask)
    , itsSlaveAddress(slaveAddress) {
    updateSizes();
}

IComObject* I2cModifyRegisterComObject::clone() {
    return new I2cModifyRegisterComObject(*this);
}

bool I2cModifyRegisterComObject::serialize(unsigned char* buffer, unsigned int size) {
    return serializeRegisterWriteRequest(*this, itsSlaveAddress, {registerValue(), mask()}, buffer,
                                         size);
}

bool I2cModifyRegisterComObject::deserialize(unsigned char*, unsigned int) {
    ZYR_ASSERT(kSource, false,
               "I2cModifyRegisterComObject has no result. Deserialize not supported.");
}

void I2cModifyRegisterComObject::setValueByteWidth(unsigned int width) {
    ModifyRegisterComObject::setValueByteWidth(width);
    updateSizes();
}

void I2cModifyRegisterComObject::setAddressByteWidth(unsigned int width) {
    ModifyRegisterComObject::setAddressByteWidth(width);
    updateSizes();
}

unsigned char I2cModifyRegisterComObject::i2cSlaveAddress() const {
    return itsSlaveAddress;
}

bool I2cModifyRegisterComObject::xmlSerialize(QXmlStreamWriter* writer, unsigned int telegramType) {
    if (writer == nullptr)
        return false;
    TelegramFields::beginTelegram(this, writer, telegramType, QStringLiteral("I2cModifyRegister"));
    RegisterTelegramFields::of(*this, itsSlaveAddress).writeAddressing(writer);
    TelegramFields::writeHex(writer, QStringLiteral("Data"), registerValue());
    TelegramFields::writeHex(writer, QStringLiteral("Mask"), mask());
    TelegramFields::endTelegram(writer);
    return true;
}

bool I2cModifyRegisterComObject::xmlDeserialize(QXmlStreamReader* reader) {
    if (reader == nullptr)
        return false;
    RegisterTelegramFields fields = RegisterTelegramFields::of(*this, itsSlaveAddress);
    fields.mask = mask();
    if (!fields.read(reader, true))
        return false;
    itsSlaveAddress = fields.slaveAddress;
    fields.applyTo(*this);
    setMask(fields.mask);
    return true;
}

void I2cModifyRegisterComObject::updateSizes() {
    setSerializeSize(registerWriteRequestSize(*this, 2));
    setDeserializeSize(0);
}

} // namespace ZyrCore::Communication::I2c
