#include "Communication/I2c/i2creadregistercomobject.h"

#include "Communication/I2c/i2cpayload.h"
#include "Communication/comobjecthelper.h"

namespace ZyrCore::Communication::I2c {

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

// No telegram form yet, so the stream does not trace these objects.
bool I2cReadRegisterComObject::xmlSerialize(QXmlStreamWriter*, unsigned int) {
    return false;
}
bool I2cReadRegisterComObject::xmlDeserialize(QXmlStreamReader*) {
    return false;
}

unsigned char I2cReadRegisterComObject::i2cSlaveAddress() const {
    return itsSlaveAddress;
}

void I2cReadRegisterComObject::updateSizes() {
    setSerializeSize(addressByteWidth() + 2);
    setDeserializeSize(valueByteWidth());
}

} // namespace ZyrCore::Communication::I2c
