#ifndef ZYRCORE_COMMUNICATION_I2C_I2CMODIFYREGISTERCOMOBJECT_H
#define ZYRCORE_COMMUNICATION_I2C_I2CMODIFYREGISTERCOMOBJECT_H

#include "Communication/ixmlserializable.h"
#include "Communication/modifyregistercomobject.h"

namespace ZyrCore::Communication::I2c {

// A masked register write done by the board: [write address byte][register address][value]
// [mask]; no reply. Sizes follow the widths whenever they change.
class ZYRCORE_EXPORT I2cModifyRegisterComObject : public ModifyRegisterComObject,
                                                  public virtual IXmlSerializable {
public:
    static constexpr unsigned char modifyProtocol = 108;

    // An empty prototype: protocol 0, sizes, widths, addresses, value and mask 0.
    I2cModifyRegisterComObject();
    I2cModifyRegisterComObject(unsigned char slaveAddress, unsigned int registerAddress,
                               unsigned int registerValue, unsigned int mask,
                               unsigned int tracePattern, unsigned int addressByteWidth,
                               unsigned int valueByteWidth);
    I2cModifyRegisterComObject(const I2cModifyRegisterComObject& other) = default;

    IComObject* clone() override;
    bool serialize(unsigned char* buffer, unsigned int size) override;
    // There is no reply: a call is a programming error.
    bool deserialize(unsigned char* buffer, unsigned int size) override;
    void setValueByteWidth(unsigned int width) override;
    void setAddressByteWidth(unsigned int width) override;
    virtual unsigned char i2cSlaveAddress() const;
    bool xmlSerialize(QXmlStreamWriter* writer, unsigned int telegramType) override;
    bool xmlDeserialize(QXmlStreamReader* reader) override;

private:
    void updateSizes();

    unsigned char itsSlaveAddress;
};

} // namespace ZyrCore::Communication::I2c

#endif // ZYRCORE_COMMUNICATION_I2C_I2CMODIFYREGISTERCOMOBJECT_H
