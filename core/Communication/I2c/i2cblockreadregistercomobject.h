#ifndef ZYRCORE_COMMUNICATION_I2C_I2CBLOCKREADREGISTERCOMOBJECT_H
#define ZYRCORE_COMMUNICATION_I2C_I2CBLOCKREADREGISTERCOMOBJECT_H

#include "Communication/iblockregistercomobject.h"
#include "Communication/ixmlserializable.h"
#include "Communication/serializablecomobject.h"

#include <memory>

namespace ZyrCore::Communication::I2c {

// Reads dataSize consecutive bytes from startAddress: [write address byte][start address]
// [read address byte]. After a reply the data size is the number of bytes received. The buffer
// holds maxDataSize bytes, starts zero-filled, and the data size never exceeds it.
class ZYRCORE_EXPORT I2cBlockReadRegisterComObject : public SerializableComObject,
                                                     public virtual IBlockRegisterComObject,
                                                     public IXmlSerializable {
public:
    static constexpr unsigned char i2cProtocol = 97;

    I2cBlockReadRegisterComObject(unsigned char slaveAddress, unsigned int startAddress,
                                  unsigned int dataSize, unsigned char* data,
                                  unsigned int blockSize, unsigned int addressByteWidth,
                                  unsigned int maxDataSize, unsigned int tracePattern);
    I2cBlockReadRegisterComObject(const I2cBlockReadRegisterComObject& other);
    I2cBlockReadRegisterComObject& operator=(const I2cBlockReadRegisterComObject&) = delete;

    IComObject* clone() override;
    bool serialize(unsigned char* buffer, unsigned int size) override;
    // Takes up to maxDataSize bytes; the data size becomes the number received.
    bool deserialize(unsigned char* buffer, unsigned int size) override;

    virtual unsigned char i2cSlaveAddress() const;
    // Copies dataSize() bytes from data.
    virtual void setData(unsigned char* data);
    virtual unsigned int maxDataSize() const;
    unsigned char* data() const override;
    unsigned int dataSize() const override;
    // Capped at maxDataSize().
    void setDataSize(unsigned int size) override;
    void setData(unsigned char* data, unsigned int size) override;
    unsigned int blockSize() const override;
    void setBlockSize(unsigned int size) override;
    unsigned int startAddress() const override;
    void setStartAddress(unsigned int address) override;
    unsigned int addressByteWidth() const override;
    void setAddressByteWidth(unsigned int width) override;
    bool xmlSerialize(QXmlStreamWriter* writer, unsigned int telegramType) override;
    bool xmlDeserialize(QXmlStreamReader* reader) override;

private:
    void updateSizes();

    unsigned char itsSlaveAddress;
    unsigned int itsAddressByteWidth;
    unsigned int itsDataSize;
    unsigned int itsBlockSize;
    unsigned int itsMaxDataSize;
    unsigned int itsStartAddress;
    std::unique_ptr<unsigned char[]> itsData;
};

} // namespace ZyrCore::Communication::I2c

#endif // ZYRCORE_COMMUNICATION_I2C_I2CBLOCKREADREGISTERCOMOBJECT_H
