#include "Communication/I2c/i2creadregistercomobject.h"

#include "Communication/I2c/i2cpayload.h"
#include "Communication/I2c/registertelegramfields.h"
#include "Communication/comobjecthelper.h"
#include "Communication/telegramfields.h"
#include "Tools/xmlmapper.h"
#include "Tools/zyrassert.h"

#include <QXmlStreamReader>

namespace ZyrCore::Communication::I2c {

namespace {
const char* const kSource = "Communication/I2c/i2creadregistercomobject";
}

I2cReadRegisterComObject::I2cReadRegisterComObject(unsigned char slaveAddress,
                                                   unsigned int registerAddress,
                                                   unsigned int tracePattern,
                                                   unsigned int addressByteWidth,
                                                   unsigned int valueByteWidth)
    : RegisterComObject(i2cProtocol, 0, 0, RequestAndResponse, tracePattern, addressByteWidth,
                        valueByteWidth, registerAddress, 0)
    , itsSlaveAddress(slaveAddress) {
    updateSizes();
}

IComObject* I2cReadRegisterComObject::clone() {
    return new I2cReadRegisterComObject(*this);
}

bool I2cReadRegisterComObject::serialize(unsigned char* buffer, unsigned int size) {
    const unsigned int addressWidth = addressByteWidth();
    // Only the address goes out; the value width matters to the reply.
    if (buffer == nullptr || !isSupportedByteWidth(addressWidth) || serializeSize() > size)
        return false;
    buffer[0] = writeAddressByte(itsSlaveAddress);
    ComObjectHelper::serialize(buffer + 1, addressWidth, registerAddress());
    buffer[1 + addressWidth] = readAddressByte(itsSlaveAddress);
    return true;
}

bool I2cReadRegisterComObject::deserialize(unsigned char* buffer, unsigned int size) {
    const unsigned int width = valueByteWidth();
    if (buffer == nullptr || width > size || !isSupportedByteWidth(width))
        return false;
    unsigned int value = registerValue();
    if (!ComObjectHelper::deserialize(buffer, width, value))
        return false;
    setRegisterValue(value);
    return true;
}

void I2cReadRegisterComObject::setValueByteWidth(unsigned int width) {
    RegisterComObject::setValueByteWidth(width);
    updateSizes();
}

void I2cReadRegisterComObject::setAddressByteWidth(unsigned int width) {
    RegisterComObject::setAddressByteWidth(width);
    updateSizes();
}

bool I2cReadRegisterComObject::xmlSerialize(QXmlStreamWriter* writer, unsigned int telegramType) {
    if (writer == nullptr)
        return false;
    TelegramFields::beginTelegram(this, writer, telegramType, QStringLiteral("I2cReadRegister"));
    RegisterTelegramFields::of(*this, itsSlaveAddress).writeAddressing(writer);
    if (telegramType != 0)
        TelegramFields::writeOutHex(writer, QStringLiteral("Data"), registerValue());
    TelegramFields::endTelegram(writer);
    return true;
}

bool I2cReadRegisterComObject::xmlDeserialize(QXmlStreamReader* xml) {
    ZYR_ASSERT_NOT_NULL(kSource, xml);
    RegisterTelegramFields fields = RegisterTelegramFields::of(*this, itsSlaveAddress);
    ZyrCore::Tools::XmlMapper mapper;
    mapper.addEntry({QStringLiteral("SlaveAddress"), &fields.slaveAddress, 16, false});
    mapper.addEntry({QStringLiteral("AddressSize"), &fields.addressByteWidth, 16, false});
    mapper.addEntry({QStringLiteral("Address"), &fields.registerAddress, 16, false});
    mapper.addEntry({QStringLiteral("DataSize"), &fields.valueByteWidth, 16, false});
    mapper.addEntry({QStringLiteral("Data"), &fields.registerValue, 16, true});
    if (!mapper.tryParseStrictly(xml) || !fields.hasByteWidths())
        return false;
    itsSlaveAddress = fields.slaveAddress;
    fields.applyTo(*this);
    return true;
}

unsigned char I2cReadRegisterComObject::i2cSlaveAddress() const {
    return itsSlaveAddress;
}

void I2cReadRegisterComObject::updateSizes() {
    setSerializeSize(addressByteWidth() + 2);
    setDeserializeSize(valueByteWidth());
}

} // namespace ZyrCore::Communication::I2c
