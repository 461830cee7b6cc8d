#include "Communication/I2c/i2ctxrxcomobject.h"

#include "Communication/I2c/i2cpayload.h"
#include "Communication/I2c/telegrambytefield.h"
#include "Communication/comobjecthelper.h"
#include "Communication/telegramfields.h"
#include "Tools/xmlmapper.h"
#include "Tools/zyrassert.h"

#include <QXmlStreamReader>

#include <cstring>

namespace ZyrCore::Communication::I2c {

namespace {
const char* const kSource = "Communication/I2c/i2ctxrxcomobject";

// The request: the bytes to write behind their address byte, then the read address byte.
unsigned long long requestSize(unsigned int txDataSize, unsigned int rxDataSize) {
    return static_cast<unsigned long long>(txDataSize) + (txDataSize > 0 ? 1 : 0) +
           (rxDataSize > 0 ? 1 : 0);
}

void assertXml(const void* xml, int line) {
    if (xml == nullptr)
        ZyrCore::Tools::assertionFailed(kSource, line, "xml", "The xml is Null!.");
}
} // namespace

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
    , itsData(new unsigned char[other.itsMaxDataSize]())
    , itsTxData(other.itsTxData) {
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
        // The bytes to write are kept apart: a reply overwrites them in the shared buffer.
        std::memcpy(buffer + offset, itsTxData.data(), itsTxDataSize);
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

bool I2cTxRxComObject::xmlSerialize(QXmlStreamWriter* xml, unsigned int telegramType) {
    assertXml(xml, __LINE__);
    TelegramFields::beginTelegram(this, xml, telegramType, QStringLiteral("I2cTxRx"));
    TelegramFields::writeHex(xml, QStringLiteral("SlaveAddress"), itsSlaveAddress);
    TelegramFields::writeHex(xml, QStringLiteral("TxDataSize"), itsTxDataSize);
    TelegramFields::writeHex(xml, QStringLiteral("RxDataSize"), itsRxDataSize);
    TelegramFields::writeHex(xml, QStringLiteral("MaxBlockSize"), itsMaxDataSize);
    if (telegramType != 0)
        ComObjectHelper::writeValue(xml, QStringLiteral("Data"),
                                    TelegramFields::hexBytes(itsData.get(), itsRxDataSize),
                                    QString(), true);
    xml->writeTextElement(QStringLiteral("TxData"),
                          TelegramFields::hexBytes(itsTxData.data(), itsTxDataSize));
    TelegramFields::endTelegram(xml);
    return true;
}

bool I2cTxRxComObject::xmlDeserialize(QXmlStreamReader* xml) {
    assertXml(xml, __LINE__);
    unsigned char slaveAddress = itsSlaveAddress;
    unsigned int txDataSize = itsTxDataSize;
    unsigned int rxDataSize = itsRxDataSize;
    unsigned int maxDataSize = itsMaxDataSize;

    ZyrCore::Tools::XmlMapper mapper;
    mapper.addEntry({QStringLiteral("SlaveAddress"), &slaveAddress, 16, false});
    mapper.addEntry({QStringLiteral("TxDataSize"), &txDataSize, 16, false});
    mapper.addEntry({QStringLiteral("RxDataSize"), &rxDataSize, 16, false});
    mapper.addEntry({QStringLiteral("MaxBlockSize"), &maxDataSize, 16, false});
    TelegramByteField data(mapper, QStringLiteral("Data"), itsMaxDataSize);
    TelegramByteField txData(mapper, QStringLiteral("TxData"), itsMaxDataSize);
    if (!mapper.tryParseStrictly(xml))
        return false;
    // Bytes to write that the telegram does not give are never made up.
    if (maxDataSize > data.limit() || rxDataSize > maxDataSize ||
        requestSize(txDataSize, rxDataSize) > maxDataSize || data.contradicts(rxDataSize) ||
        txData.size() != txDataSize)
        return false;

    itsSlaveAddress = slaveAddress;
    // The buffer keeps its size, which is at least the new maximum.
    itsMaxDataSize = maxDataSize;
    itsTxDataSize = txDataSize;
    itsRxDataSize = rxDataSize;
    updateSerializedDeseralizedDataSizes();
    itsTxData.assign(txData.bytes(), txData.bytes() + txDataSize);
    std::memcpy(itsData.get(), txData.bytes(), txDataSize);
    // Bytes read overwrite the bytes to write, as a reply does.
    if (data.wasFound())
        std::memcpy(itsData.get(), data.bytes(), rxDataSize);
    return true;
}

void I2cTxRxComObject::setTxData(unsigned char* buffer, unsigned int size) {
    if (buffer == nullptr)
        ZyrCore::Tools::assertionFailed(kSource, __LINE__, "buffer != NULL",
                                        "Invalid nullpointer in Tx buffer");
    itsTxDataSize = size;
    // Asserts that the request fits the buffer before anything is copied.
    updateSerializedDeseralizedDataSizes();
    std::memcpy(itsData.get(), buffer, itsTxDataSize);
    itsTxData.assign(buffer, buffer + itsTxDataSize);
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
    const unsigned long long request = requestSize(itsTxDataSize, itsRxDataSize);
    if (request > itsMaxDataSize)
        ZyrCore::Tools::assertionFailed(kSource, __LINE__, "itsSerializeSize <= itsMaxDataSize",
                                        "Buffer overflow");
    setDeserializeSize(itsRxDataSize);
    setSerializeSize(static_cast<unsigned int>(request));
}

} // namespace ZyrCore::Communication::I2c
