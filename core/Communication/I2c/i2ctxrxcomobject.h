#ifndef ZYRCORE_COMMUNICATION_I2C_I2CTXRXCOMOBJECT_H
#define ZYRCORE_COMMUNICATION_I2C_I2CTXRXCOMOBJECT_H

#include "Communication/ixmlserializable.h"
#include "Communication/serializablecomobject.h"

#include <memory>
#include <vector>

namespace ZyrCore::Communication::I2c {

// A raw I2C transfer: an optional write phase of tx bytes, then an optional read phase of rx
// bytes. One zero-filled buffer of maxDataSize bytes holds the bytes to write and, after the
// reply, the bytes read; the bytes to write are also kept apart, so that the object sends and
// describes them (telegram element "TxData") after a reply as well.
class ZYRCORE_EXPORT I2cTxRxComObject : public SerializableComObject,
                                        public virtual IXmlSerializable {
public:
    I2cTxRxComObject(unsigned char slaveAddress, unsigned int txDataSize, unsigned char* txData,
                     unsigned int rxDataSize, unsigned int maxDataSize, unsigned int tracePattern,
                     unsigned char protocol);
    // Copies the whole buffer, received bytes included.
    I2cTxRxComObject(const I2cTxRxComObject& other);
    I2cTxRxComObject& operator=(const I2cTxRxComObject&) = delete;

    IComObject* clone() override;
    bool serialize(unsigned char* buffer, unsigned int size) override;
    bool deserialize(unsigned char* buffer, unsigned int size) override;
    bool xmlSerialize(QXmlStreamWriter* writer, unsigned int telegramType) override;
    bool xmlDeserialize(QXmlStreamReader* reader) override;

    // A request beyond maxDataSize is a programming error.
    void setTxData(unsigned char* buffer, unsigned int size);
    void setRxDataSize(unsigned int size);
    unsigned int getTxDataSize() const;
    unsigned int getRxDataSize() const;
    unsigned char* getData() const;
    unsigned int getMaxDataSize() const;
    unsigned char getSlaveAddress() const;

protected:
    void updateSerializedDeseralizedDataSizes();

private:
    unsigned char itsSlaveAddress;
    unsigned int itsTxDataSize = 0;
    unsigned int itsRxDataSize;
    unsigned int itsMaxDataSize;
    std::unique_ptr<unsigned char[]> itsData;
    std::vector<unsigned char> itsTxData;
};

} // namespace ZyrCore::Communication::I2c

#endif // ZYRCORE_COMMUNICATION_I2C_I2CTXRXCOMOBJECT_H
