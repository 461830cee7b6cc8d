#include "Communication/registerinfostd.h"

#include "Communication/comstream.h"
#include "Communication/iblockregistercomobject.h"
#include "Communication/imodifyregistercomobject.h"
#include "Communication/iregistercomobjectprovider.h"
#include "Communication/registervalue.h"
#include "Tools/zyrassert.h"

#include <algorithm>

namespace ZyrCore::Communication {

namespace {
const char* const kSource = "Communication/registerinfostd";

// A block failed as a whole: its values are not trusted, whatever the device's status said.
constexpr char kBlockFailedState = 1;

void deleteFront(QQueue<IComObject*>* comObjects) {
    if (!comObjects->isEmpty())
        delete comObjects->dequeue();
}
} // namespace

RegisterInfoStd::RegisterInfoStd(unsigned int address, unsigned char widthA,
                                 unsigned char valueBitWidth, unsigned int mask)
    : itsWidthA(widthA)
    , itsValueBitWidth(valueBitWidth)
    , itsReadAddress(address)
    , itsWriteAddress(address)
    , itsReadMask(mask)
    , itsWriteMask(mask) {}

QByteArray RegisterInfoStd::key() const {
    QByteArray key(3, '\0');
    key[0] = 0x01;
    key[1] = static_cast<char>(itsWriteAddress & 0xFF);
    key[2] = static_cast<char>(itsReadAddress & 0xFF);
    return key;
}

QString RegisterInfoStd::id() const {
    return QStringLiteral("0x%1").arg(itsReadAddress, 2, 16, QLatin1Char('0'));
}

QString RegisterInfoStd::toString() const {
    return QStringLiteral("reg addr: 0x%1").arg(itsReadAddress, 0, 16);
}

bool RegisterInfoStd::isReadOnly() const {
    return itsWriteMask == 0;
}

bool RegisterInfoStd::isWriteOnly() const {
    return itsReadMask == 0;
}

bool RegisterInfoStd::canHandleValue(IRegisterValue* value) {
    return dynamic_cast<RegisterValue*>(value) != nullptr;
}

IRegisterValue* RegisterInfoStd::createValue() {
    return new RegisterValue(0, 0);
}

void RegisterInfoStd::processWriteRegisterRequest(QQueue<IComObject*>* comObjects,
                                                  IRegisterValue* value,
                                                  IRegisterComObjectProvider* objectProvider) {
    ZYR_ASSERT_NOT_NULL(kSource, comObjects);
    ZYR_ASSERT_NOT_NULL(kSource, objectProvider);
    if (value == nullptr) {
        comObjects->enqueue(nullptr);
        return;
    }
    IRegisterComObject* object = objectProvider->createWriteRegisterObject();
    object->setRegisterAddress(itsWriteAddress);
    object->setRegisterValue(value->value());
    comObjects->enqueue(object);
}

void RegisterInfoStd::processWriteRegisterResponse(QQueue<IComObject*>* comObjects,
                                                   IRegisterValue*) {
    ZYR_ASSERT_NOT_NULL(kSource, comObjects);
    deleteFront(comObjects);
}

void RegisterInfoStd::processModifyRegisterRequest(QQueue<IComObject*>* comObjects,
                                                   IRegisterValue* value, IRegisterValue* mask,
                                                   IRegisterComObjectProvider* objectProvider) {
    ZYR_ASSERT_NOT_NULL(kSource, comObjects);
    ZYR_ASSERT_NOT_NULL(kSource, objectProvider);
    IModifyRegisterComObject* object = nullptr;
    if (value != nullptr && mask != nullptr)
        object = objectProvider->createModifyRegisterObject();
    if (object != nullptr) {
        object->setRegisterAddress(itsWriteAddress);
        object->setRegisterValue(value->value());
        object->setMask(mask->value());
    }
    // A null entry tells the register communication to read, merge and write instead.
    comObjects->enqueue(object);
}

void RegisterInfoStd::processModifyRegisterResponse(QQueue<IComObject*>* comObjects,
                                                    IRegisterValue*, IRegisterValue*) {
    ZYR_ASSERT_NOT_NULL(kSource, comObjects);
    deleteFront(comObjects);
}

void RegisterInfoStd::processReadRegisterRequest(QQueue<IComObject*>* comObjects,
                                                 IRegisterValue* value,
                                                 IRegisterComObjectProvider* objectProvider) {
    ZYR_ASSERT_NOT_NULL(kSource, comObjects);
    ZYR_ASSERT_NOT_NULL(kSource, objectProvider);
    if (value == nullptr) {
        comObjects->enqueue(nullptr);
        return;
    }
    IRegisterComObject* object = objectProvider->createReadRegisterObject();
    object->setRegisterAddress(itsReadAddress);
    object->setRegisterValue(0);
    if (itsTracePattern != 0)
        object->setTracePattern(itsTracePattern);
    comObjects->enqueue(object);
}

void RegisterInfoStd::processReadRegisterResponse(QQueue<IComObject*>* comObjects,
                                                  IRegisterValue* regValue) {
    ZYR_ASSERT_NOT_NULL(kSource, comObjects);
    ZYR_ASSERT_NOT_NULL(kSource, regValue);
    IComObject* entry = comObjects->isEmpty() ? nullptr : comObjects->dequeue();
    auto* object = dynamic_cast<IRegisterComObject*>(entry);
    if (object == nullptr)
        ZyrCore::Tools::assertionFailed(kSource, __LINE__, "false",
                                        "No matching com object found.");
    regValue->setValue(object->registerValue());
    regValue->setState(object->status());
    delete object;
}

bool RegisterInfoStd::isDirectSuccessorOf(IRegisterInfo* regInfo) {
    ZYR_ASSERT_NOT_NULL(kSource, regInfo);
    auto* other = dynamic_cast<RegisterInfoStd*>(regInfo);
    if (other == nullptr)
        return false;
    return itsReadAddress == other->itsReadAddress + 1 &&
           itsWriteAddress == other->itsWriteAddress + 1 && itsReadMask == other->itsReadMask &&
           itsWriteMask == other->itsWriteMask && itsWidthA == other->itsWidthA &&
           itsValueBitWidth == other->itsValueBitWidth;
}

void RegisterInfoStd::processBlockReadRegisterRequest(QQueue<IComObject*>* comObjects,
                                                      QList<IRegisterValue*>* regValues,
                                                      IRegisterComObjectProvider* objectProvider) {
    ZYR_ASSERT_NOT_NULL(kSource, comObjects);
    ZYR_ASSERT_NOT_NULL(kSource, objectProvider);
    ZYR_ASSERT_NOT_NULL(kSource, regValues);

    const unsigned int bytesPerValue = valueByteWidth();
    const auto valueCount = static_cast<unsigned int>(regValues->count());
    unsigned int first = 0;
    do {
        const unsigned int count = std::min(valuesPerBlock(), valueCount - first);
        IBlockRegisterComObject* object = objectProvider->createBlockRegisterObject();
        object->setStartAddress(itsReadAddress + first);
        object->setDataSize(count * bytesPerValue);
        object->setBlockSize(bytesPerValue);
        if (itsTracePattern != 0)
            object->setTracePattern(itsTracePattern);
        comObjects->enqueue(object);
        first += count;
    } while (first < valueCount);
}

void RegisterInfoStd::processBlockReadRegisterResponse(QQueue<IComObject*>* comObjects,
                                                       QList<IRegisterValue*>* values) {
    ZYR_ASSERT_NOT_NULL(kSource, comObjects);
    ZYR_ASSERT_NOT_NULL(kSource, values);

    const unsigned int bytesPerValue = valueByteWidth();
    const auto valueCount = static_cast<unsigned int>(values->count());
    unsigned int first = 0;
    do {
        const unsigned int count = std::min(valuesPerBlock(), valueCount - first);
        if (comObjects->isEmpty())
            return;
        IComObject* entry = comObjects->dequeue();
        auto* object = dynamic_cast<IBlockRegisterComObject*>(entry);
        if (object == nullptr) {
            delete entry;
        } else {
            const bool complete = object->dataSize() == count * bytesPerValue;
            const unsigned char* data = object->data();
            for (unsigned int i = 0; i < count; ++i) {
                IRegisterValue* value = values->at(static_cast<int>(first + i));
                if (!complete) {
                    value->setState(kBlockFailedState);
                    continue;
                }
                unsigned int assembled = 0;
                for (unsigned int b = 0; b < bytesPerValue; ++b)
                    assembled = (assembled << 8) | data[i * bytesPerValue + b];
                value->setValue(assembled);
                value->setState(object->status());
            }
            delete object;
        }
        first += count;
    } while (first < valueCount);
}

unsigned int RegisterInfoStd::tracePattern() const {
    return itsTracePattern;
}

void RegisterInfoStd::setTracePattern(unsigned int tracePattern) {
    itsTracePattern = tracePattern;
}

unsigned int RegisterInfoStd::valueByteWidth() const {
    return std::max(1u, (static_cast<unsigned int>(itsValueBitWidth) + 7) / 8);
}

unsigned int RegisterInfoStd::valuesPerBlock() const {
    return ComStream::maxPayloadSize / valueByteWidth();
}

} // namespace ZyrCore::Communication
