#ifndef ZYRCORE_COMMUNICATION_I2C_I2CREADREGISTERCOMOBJECT_H
#define ZYRCORE_COMMUNICATION_I2C_I2CREADREGISTERCOMOBJECT_H

#include "Communication/ixmlserializable.h"
#include "Communication/registercomobject.h"

namespace ZyrCore::Communication::I2c {

// Reads one register: [write address byte][register address][read address byte], the reply is
// the register value. Sizes follow the widths whenever they change.
class ZYRCORE_EXPORT I2cReadRegisterComObject : public RegisterComObject,
                                                public virtual IXmlSerializable {
public:
    static constexpr unsigned char i2cProtocol = 97;

    I2cReadRegisterComObject(unsigned char slaveAddress, unsigned int registerAddress,
                             unsigned int tracePattern, unsigned int addressByteWidth,
                             unsigned int valueByteWidth);
    I2cReadRegisterComObject(const I2cReadRegisterComObject& other) = default;

    IComObject* clone() override;
    bool serialize(unsigned char* buffer, unsigned int size) override;
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

#endif // ZYRCORE_COMMUNICATION_I2C_I2CREADREGISTERCOMOBJECT_H
