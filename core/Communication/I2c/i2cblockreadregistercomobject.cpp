#include "Communication/I2c/i2cblockreadregistercomobject.h"

#include "Communication/I2c/i2cpayload.h"
#include "Communication/I2c/telegrambytefield.h"
#include "Communication/comobjecthelper.h"
#include "Communication/telegramfields.h"
#include "Tools/xmlmapper.h"
#include "Tools/zyrassert.h"

#include <QXmlStreamReader>

#include <algorithm>
#include <cstring>

namespace ZyrCore::Communication::I2c {

namespace {
const char* const kSource = "Communication/I2c/i2cblockreadregistercomobject";
}

I2cBlockReadRegisterComObject::I2cBlockReadRegisterComObject(
    unsigned char slaveAddress, unsigned int startAddress, unsigned int dataSize,
    unsigned char* data, unsigned int blockSize, unsigned int addressByteWidth,
    unsigned int maxDataSize, unsigned int tracePattern)
    : SerializableComObject(i2cProtocol, 0, 0, RequestAndResponse, tracePattern)
    , itsSlaveAddress(slaveAddress)
    , itsAddressByteWidth(addressByteWidth)
    , itsDataSize(dataSize)
    , itsBlockSize(blockSize)
    , itsMaxDataSize(maxDataSize)
    , itsStartAddress(startAddress)
    , itsData(new unsigned char[maxDataSize]()) {
    if (itsDataSize > itsMaxDataSize)
        ZyrCore::Tools::assertionFailed(kSource, __LINE__, "itsDataSize <= itsMaxDataSize",
                                        "BlockSize must be lower or equal than MaxBlockSize.");
    updateSizes();
    if (data != nullptr)
        setData(data);
}

I2cBlockReadRegisterComObject::I2cBlockReadRegisterComObject(
    const I2cBlockReadRegisterComObject& other)
    : IComObject(other)
    , ISerializable(other)
    , IBlockRegisterComObject(other)
    , SerializableComObject(other)
    , IXmlSerializable(other)
    , itsSlaveAddress(other.itsSlaveAddress)
    , itsAddressByteWidth(other.itsAddressByteWidth)
    , itsDataSize(other.itsDataSize)
    , itsBlockSize(other.itsBlockSize)
    , itsMaxDataSize(other.itsMaxDataSize)
    , itsStartAddress(other.itsStartAddress)
    , itsData(new unsigned char[other.itsMaxDataSize]()) {
    std::memcpy(itsData.get(), other.itsData.get(), itsDataSize);
}

IComObject* I2cBlockReadRegisterComObject::clone() {
    return new I2cBlockReadRegisterComObject(*this);
}

bool I2cBlockReadRegisterComObject::serialize(unsigned char* buffer, unsigned int size) {
    if (buffer == nullptr || !isSupportedByteWidth(itsAddressByteWidth) || serializeSize() > size)
        return false;
    buffer[0] = writeAddressByte(itsSlaveAddress);
    ComObjectHelper::serialize(buffer + 1, itsAddressByteWidth, itsStartAddress);
    buffer[1 + itsAddressByteWidth] = readAddressByte(itsSlaveAddress);
    return true;
}

bool I2cBlockReadRegisterComObject::deserialize(unsigned char* buffer, unsigned int size) {
    if (size > itsMaxDataSize || (buffer == nullptr && size > 0))
        return false;
    setDataSize(size);
    if (size > 0)
        std::memcpy(itsData.get(), buffer, size);
    return true;
}

unsigned char I2cBlockReadRegisterComObject::i2cSlaveAddress() const {
    return itsSlaveAddress;
}

void I2cBlockReadRegisterComObject::setData(unsigned char* data) {
    ZYR_ASSERT_NOT_NULL(kSource, data);
    // setDataSize keeps the data size within the buffer.
    std::memcpy(itsData.get(), data, itsDataSize);
}

unsigned int I2cBlockReadRegisterComObject::maxDataSize() const {
    return itsMaxDataSize;
}

unsigned char* I2cBlockReadRegisterComObject::data() const {
    return itsData.get();
}

unsigned int I2cBlockReadRegisterComObject::dataSize() const {
    return itsDataSize;
}

void I2cBlockReadRegisterComObject::setDataSize(unsigned int size) {
    itsDataSize = std::min(size, itsMaxDataSize);
    updateSizes();
}

void I2cBlockReadRegisterComObject::setData(unsigned char* data, unsigned int size) {
    setDataSize(size);
    setData(data);
}

unsigned int I2cBlockReadRegisterComObject::blockSize() const {
    return itsBlockSize;
}

void I2cBlockReadRegisterComObject::setBlockSize(unsigned int size) {
    itsBlockSize = size;
}

unsigned int I2cBlockReadRegisterComObject::startAddress() const {
    return itsStartAddress;
}

void I2cBlockReadRegisterComObject::setStartAddress(unsigned int address) {
    itsStartAddress = address;
}

unsigned int I2cBlockReadRegisterComObject::addressByteWidth() const {
    return itsAddressByteWidth;
}

void I2cBlockReadRegisterComObject::setAddressByteWidth(unsigned int width) {
    itsAddressByteWidth = width;
    updateSizes();
}

bool I2cBlockReadRegisterComObject::xmlSerialize(QXmlStreamWriter* writer,
                                                 unsigned int telegramType) {
    if (writer == nullptr)
        return false;
    TelegramFields::beginTelegram(this, writer, telegramType, QStringLiteral("I2cBlockRegister"));
    TelegramFields::writeHex(writer, QStringLiteral("SlaveAddress"), itsSlaveAddress);
    TelegramFields::writeHex(writer, QStringLiteral("AddressSize"), itsAddressByteWidth);
    TelegramFields::writeHex(writer, QStringLiteral("Address"), itsStartAddress);
    TelegramFields::writeHex(writer, QStringLiteral("MaxBlockSize"), itsMaxDataSize);
    TelegramFields::writeHex(writer, QStringLiteral("BlockSize"), itsDataSize);
    if (telegramType != 0)
        ComObjectHelper::writeValue(writer, QStringLiteral("Data"),
                                    TelegramFields::hexBytes(itsData.get(), itsDataSize), QString(),
                                    true);
    TelegramFields::endTelegram(writer);
    return true;
}

bool I2cBlockReadRegisterComObject::xmlDeserialize(QXmlStreamReader* xml) {
    ZYR_ASSERT_NOT_NULL(kSource, xml);
    unsigned char slaveAddress = itsSlaveAddress;
    unsigned int startAddress = itsStartAddress;
    unsigned int dataSize = itsDataSize;
    unsigned int addressByteWidth = itsAddressByteWidth;
    unsigned int maxDataSize = itsMaxDataSize;

    ZyrCore::Tools::XmlMapper mapper;
    mapper.addEntry({QStringLiteral("SlaveAddress"), &slaveAddress, 16, false});
    mapper.addEntry({QStringLiteral("Address"), &startAddress, 16, false});
    mapper.addEntry({QStringLiteral("BlockSize"), &dataSize, 16, false});
    mapper.addEntry({QStringLiteral("AddressSize"), &addressByteWidth, 16, false});
    mapper.addEntry({QStringLiteral("MaxBlockSize"), &maxDataSize, 16, false});
    TelegramByteField data(mapper, QStringLiteral("Data"), itsMaxDataSize);
    if (!mapper.tryParseStrictly(xml))
        return false;
    if (maxDataSize > data.limit() || dataSize > maxDataSize ||
        !isSupportedByteWidth(addressByteWidth) || data.contradicts(dataSize))
        return false;

    itsSlaveAddress = slaveAddress;
    itsStartAddress = startAddress;
    itsAddressByteWidth = addressByteWidth;
    // The buffer keeps its size, which is at least the new maximum.
    itsMaxDataSize = maxDataSize;
    setDataSize(dataSize);
    if (data.wasFound())
        std::memcpy(itsData.get(), data.bytes(), dataSize);
    return true;
}

void I2cBlockReadRegisterComObject::updateSizes() {
    setSerializeSize(itsAddressByteWidth + 2);
    setDeserializeSize(itsDataSize);
}

} // namespace ZyrCore::Communication::I2c
