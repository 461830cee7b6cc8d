#ifndef ZYRCORE_COMMUNICATION_I2C_I2CWRITEREGISTERCOMOBJECT_H
#define ZYRCORE_COMMUNICATION_I2C_I2CWRITEREGISTERCOMOBJECT_H

#include "Communication/ixmlserializable.h"
#include "Communication/registercomobject.h"

namespace ZyrCore::Communication::I2c {

// Writes one register: [write address byte][register address][value]; no reply. Sizes follow
// the widths whenever they change.
class ZYRCORE_EXPORT I2cWriteRegisterComObject : public RegisterComObject, public IXmlSerializable {
public:
    static constexpr unsigned char i2cProtocol = 97;

    // An empty prototype: protocol 0, sizes, widths, addresses and value 0.
    I2cWriteRegisterComObject();
    I2cWriteRegisterComObject(unsigned char slaveAddress, unsigned int registerAddress,
                              unsigned int registerValue, unsigned int tracePattern,
                              unsigned int addressByteWidth, unsigned int valueByteWidth);
    I2cWriteRegisterComObject(const I2cWriteRegisterComObject& other) = default;

    IComObject* clone() override;
    bool serialize(unsigned char* buffer, unsigned int size) override;
    // There is no reply: a call is a programming error.
    bool deserialize(unsigned char* buffer, unsigned int size) override;
    void setValueByteWidth(unsigned int width) override;
    void setAddressByteWidth(unsigned int width) override;
    bool xmlSerialize(QXmlStreamWriter* writer, unsigned int telegramType) override;
    bool xmlDeserialize(QXmlStreamReader* reader) override;

    unsigned char i2cSlaveAddress() const;

private:
    void updateSizes();

    unsigned char itsSlaveAddress;
};

} // namespace ZyrCore::Communication::I2c

#endif // ZYRCORE_COMMUNICATION_I2C_I2CWRITEREGISTERCOMOBJECT_H
