#include "Communication/I2c/i2ctxrxcomobject.h"

#include "Communication/I2c/i2cpayload.h"
#include "Tools/zyrassert.h"

#include <cstring>

namespace ZyrCore::Communication::I2c {

namespace {
const char* const kSource = "Communication/I2c/i2ctxrxcomobject";
}

I2cTxRxComObject::I2cTxRxComObject(unsigned char slaveAddress, unsigned int txDataSize,
                                   unsigned char* txData, unsigned int rxDataSize,
                                   unsigned int maxDataSize, unsigned int tracePattern,
                                   unsigned char protocol)
    : SerializableComObject(protocol, 0, 0, RequestAndResponse, tracePattern)
    , itsSlaveAddress(slaveAddress)
    , itsRxDataSize(rxDataSize)
    , itsMaxDataSize(maxDataSize)
    , itsData(new unsigned char[maxDataSize]()) {
    if (txDataSize > 0)
        setTxData(txData, txDataSize);
    updateSerializedDeseralizedDataSizes();
}

I2cTxRxComObject::I2cTxRxComObject(const I2cTxRxComObject& other)
    : IComObject(other)
    , ISerializable(other)
    , IXmlSerializable(other)
    , SerializableComObject(other)
    , itsSlaveAddress(other.itsSlaveAddress)
    , itsTxDataSize(other.itsTxDataSize)
    , itsRxDataSize(other.itsRxDataSize)
    , itsMaxDataSize(other.itsMaxDataSize)
    , itsData(new unsigned char[other.itsMaxDataSize]()) {
    std::memcpy(itsData.get(), other.itsData.get(), itsMaxDataSize);
    updateSerializedDeseralizedDataSizes();
}

IComObject* I2cTxRxComObject::clone() {
    return new I2cTxRxComObject(*this);
}

bool I2cTxRxComObject::serialize(unsigned char* buffer, unsigned int size) {
    ZYR_ASSERT_NOT_NULL(kSource, buffer);
    if (serializeSize() > size)
        return false;
    unsigned int offset = 0;
    if (itsTxDataSize > 0) {
        buffer[offset++] = writeAddressByte(itsSlaveAddress);
        std::memcpy(buffer + offset, itsData.get(), itsTxDataSize);
        offset += itsTxDataSize;
    }
    if (itsRxDataSize > 0)
        buffer[offset] = readAddressByte(itsSlaveAddress);
    return true;
}

bool I2cTxRxComObject::deserialize(unsigned char* buffer, unsigned int size) {
    ZYR_ASSERT_NOT_NULL(kSource, buffer);
    if (itsRxDataSize > size)
        return false;
    std::memcpy(itsData.get(), buffer, itsRxDataSize);
    return true;
}

// No telegram form yet, so the stream does not trace these objects.
bool I2cTxRxComObject::xmlSerialize(QXmlStreamWriter*, unsigned int) {
    return false;
}
bool I2cTxRxComObject::xmlDeserialize(QXmlStreamReader*) {
    return false;
}

void I2cTxRxComObject::setTxData(unsigned char* buffer, unsigned int size) {
    if (buffer == nullptr)
        ZyrCore::Tools::assertionFailed(kSource, __LINE__, "buffer != NULL",
                                        "Invalid nullpointer in Tx buffer");
    itsTxDataSize = size;
    // Asserts that the request fits the buffer before anything is copied.
    updateSerializedDeseralizedDataSizes();
    std::memcpy(itsData.get(), buffer, itsTxDataSize);
}

void I2cTxRxComObject::setRxDataSize(unsigned int size) {
    itsRxDataSize = size;
    updateSerializedDeseralizedDataSizes();
}

unsigned int I2cTxRxComObject::getTxDataSize() const {
    return itsTxDataSize;
}
unsigned int I2cTxRxComObject::getRxDataSize() const {
    return itsRxDataSize;
}
unsigned char* I2cTxRxComObject::getData() const {
    return itsData.get();
}
unsigned int I2cTxRxComObject::getMaxDataSize() const {
    return itsMaxDataSize;
}
unsigned char I2cTxRxComObject::getSlaveAddress() const {
    return itsSlaveAddress;
}

void I2cTxRxComObject::updateSerializedDeseralizedDataSizes() {
    if (itsRxDataSize > itsMaxDataSize)
        ZyrCore::Tools::assertionFailed(kSource, __LINE__, "itsDeserializeSize <= itsMaxDataSize",
                                        "Buffer overflow");
    // Computed in 64 bits so that a huge tx count cannot wrap below the limit.
    const unsigned long long requestSize = static_cast<unsigned long long>(itsTxDataSize) +
                                           (itsTxDataSize > 0 ? 1 : 0) +
                                           (itsRxDataSize > 0 ? 1 : 0);
    if (requestSize > itsMaxDataSize)
        ZyrCore::Tools::assertionFailed(kSource, __LINE__, "itsSerializeSize <= itsMaxDataSize",
                                        "Buffer overflow");
    setDeserializeSize(itsRxDataSize);
    setSerializeSize(static_cast<unsigned int>(requestSize));
}

} // namespace ZyrCore::Communication::I2c
