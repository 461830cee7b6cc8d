#include "testregistry.h"

#include "Communication/Control/firmwarenumbercomobject.h"
#include "Communication/I2c/i2cblockreadregistercomobject.h"
#include "Communication/I2c/i2cconfigcomobject.h"
#include "Communication/I2c/i2cmodifyregistercomobject.h"
#include "Communication/I2c/i2creadregistercomobject.h"
#include "Communication/I2c/i2ctxrxcomobject.h"
#include "Communication/I2c/i2cwriteregistercomobject.h"

#include <QtTest>

#include <memory>
#include <vector>

using namespace ZyrCore::Communication;
using namespace ZyrCore::Communication::I2c;
using namespace ZyrCore::Communication::Control;

namespace {

constexpr unsigned char kSlave = 0x40;
constexpr unsigned int kTrace = 0x8000000;
enum Kind { Read, Write, Modify, Block };

// Serializes into a heap buffer of exactly the object's size less shortBy, so that
// AddressSanitizer sees any write beyond it. Returns the bytes, or a null array when refused.
QByteArray serialized(ISerializable& object, unsigned int shortBy = 0) {
    const unsigned int capacity = object.serializeSize() - shortBy;
    std::vector<unsigned char> buffer(capacity, 0xEE);
    if (!object.serialize(buffer.data(), capacity))
        return QByteArray();
    const auto written = static_cast<int>(std::min(object.serializeSize(), capacity));
    return QByteArray(reinterpret_cast<const char*>(buffer.data()), written);
}

bool deserializeBytes(ISerializable& object, QByteArray bytes) {
    // Never a null buffer, as from the stream, even for an empty reply.
    std::vector<unsigned char> buffer(bytes.begin(), bytes.end());
    buffer.push_back(0);
    return object.deserialize(buffer.data(), static_cast<unsigned int>(bytes.size()));
}

} // namespace

class TestI2cObjects : public QObject {
    Q_OBJECT

private slots:
    void registerObject_data();
    void registerObject();
    void transferBuffers();
};

// Register objects built with their widths, or with widths changed afterwards: the request must
// be resized so that the stream frames every byte written and a buffer one byte short is refused.
void TestI2cObjects::registerObject_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("widthsSetLater");
    QTest::addColumn<unsigned int>("addressWidth");
    QTest::addColumn<unsigned int>("valueWidth");
    QTest::addColumn<unsigned int>("address");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<unsigned int>("replySize");

    const auto rows = [](const char* name, int kind, unsigned int addressWidth,
                         unsigned int valueWidth, unsigned int address, const char* request,
                         unsigned int replySize) {
        for (bool later : {false, true})
            QTest::addRow("%s%s", name, later ? ", widths set later" : "")
                << kind << later << addressWidth << valueWidth << address
                << QByteArray::fromHex(request) << replySize;
    };
    rows("read, widths 1", Read, 1, 1, 0x90, "809081", 1);
    rows("read, address width 2", Read, 2, 1, 0x1234, "80123481", 1);
    rows("read, widths 2", Read, 2, 2, 0x1234, "80123481", 2);
    rows("read, address width 4", Read, 4, 2, 0x1234, "800000123481", 2);
    rows("read, address width 0", Read, 0, 1, 0x12, "8081", 1);
    rows("read, address width 3 refused", Read, 3, 1, 0x12, "", 1);
    rows("write, widths 1", Write, 1, 1, 0x12, "8012ab", 0);
    rows("write, widths 2", Write, 2, 2, 0x0102, "8001020304", 0);
    rows("write, value width 4", Write, 1, 4, 0x12, "8012a1b2c3d4", 0);
    rows("write, high bits dropped", Write, 1, 1, 0x1A2, "80a2ff", 0);
    rows("write, width 3 refused", Write, 3, 1, 0x12, "", 0);
    rows("modify, widths 1", Modify, 1, 1, 0x12, "8012050f", 0);
    rows("modify, widths 2", Modify, 2, 2, 0x0102, "80010203040506", 0);
    rows("block, address width 2", Block, 2, 1, 0x1234, "80123481", 4);
}

void TestI2cObjects::registerObject() {
    QFETCH(int, kind);
    QFETCH(bool, widthsSetLater);
    QFETCH(unsigned int, addressWidth);
    QFETCH(unsigned int, valueWidth);
    QFETCH(unsigned int, address);
    QFETCH(QByteArray, request);

    const unsigned int aw = widthsSetLater ? 1 : addressWidth;
    const unsigned int vw = widthsSetLater ? 1 : valueWidth;
    // Values and masks whose low bytes read 01 02 .. in the request.
    const unsigned int value = valueWidth == 4 ? 0xA1B2C3D4u : valueWidth == 2 ? 0x0304u : 0xABu;
    std::unique_ptr<IComObject> object;
    unsigned char protocol = 97;
    switch (kind) {
    case Read:
        object.reset(new I2cReadRegisterComObject(kSlave, address, kTrace, aw, vw));
        break;
    case Write:
        object.reset(new I2cWriteRegisterComObject(
            kSlave, address, address == 0x1A2 ? 0x1FFu : value, kTrace, aw, vw));
        break;
    case Modify:
        object.reset(new I2cModifyRegisterComObject(kSlave, address, valueWidth == 2 ? 0x0304 : 5,
                                                    valueWidth == 2 ? 0x0506 : 0x0F, kTrace, aw,
                                                    vw));
        protocol = 108;
        break;
    default:
        object.reset(
            new I2cBlockReadRegisterComObject(kSlave, address, 4, nullptr, vw, aw, 1088, kTrace));
    }
    if (widthsSetLater && kind == Block) {
        dynamic_cast<IBlockRegisterComObject&>(*object).setAddressByteWidth(addressWidth);
    } else if (widthsSetLater) {
        dynamic_cast<IRegisterComObject&>(*object).setAddressByteWidth(addressWidth);
        dynamic_cast<IRegisterComObject&>(*object).setValueByteWidth(valueWidth);
    }
    auto& serializable = dynamic_cast<ISerializable&>(*object);
    QCOMPARE(serializable.protocol(), protocol);
    QCOMPARE(object->callingType(), kind == Read || kind == Block ? IComObject::RequestAndResponse
                                                                  : IComObject::FireAndForget);
    QTEST(serializable.deserializeSize(), "replySize");
    if (request.isEmpty()) {
        QVERIFY(serialized(serializable).isNull());
        return;
    }
    QCOMPARE(serializable.serializeSize(), static_cast<unsigned int>(request.size()));
    QCOMPARE(serialized(serializable), request);
    QVERIFY(serialized(serializable, 1).isNull());
}

// Reply buffers of block reads and raw transfers: bounded, zero-filled, kept by copies.
void TestI2cObjects::transferBuffers() {
    I2cBlockReadRegisterComObject object(kSlave, 0x20, 4, nullptr, 1, 1, 1088, kTrace);
    QCOMPARE(serialized(object), QByteArray::fromHex("802081"));
    QCOMPARE(QByteArray(reinterpret_cast<char*>(object.data()), 4), QByteArray(4, '\0'));

    QVERIFY(deserializeBytes(object, QByteArray::fromHex("0a0b0c")));
    QCOMPARE(object.dataSize(), 3u);
    QCOMPARE(object.deserializeSize(), 3u);
    QCOMPARE(QByteArray(reinterpret_cast<char*>(object.data()), 3), QByteArray::fromHex("0a0b0c"));

    object.setDataSize(5000);
    QCOMPARE(object.dataSize(), 1088u);
    QCOMPARE(object.deserializeSize(), 1088u);

    QVERIFY(!deserializeBytes(object, QByteArray(1089, 'x')));
    QCOMPARE(object.dataSize(), 1088u);
    QVERIFY(deserializeBytes(object, QByteArray(1088, 'x')));
    QCOMPARE(object.data()[1087], static_cast<unsigned char>('x'));

    // setData copies no more than the buffer holds, however large the count asked for.
    std::vector<unsigned char> source(16, 0x33);
    I2cBlockReadRegisterComObject small(kSlave, 0, 1, nullptr, 1, 1, 16, kTrace);
    small.setData(source.data(), 5000);
    QCOMPARE(small.dataSize(), 16u);
    QCOMPARE(small.data()[15], static_cast<unsigned char>(0x33));

    unsigned char tx[] = {0x01, 0x02};
    I2cTxRxComObject transferred(kSlave, 2, tx, 4, 8, kTrace, 97);
    QVERIFY(deserializeBytes(transferred, QByteArray::fromHex("0a0b0c0d")));
    std::unique_ptr<IComObject> copy(transferred.clone());
    auto* transfer = dynamic_cast<I2cTxRxComObject*>(copy.get());
    QVERIFY(transfer != nullptr);
    QCOMPARE(QByteArray(reinterpret_cast<char*>(transfer->getData()), 4),
             QByteArray::fromHex("0a0b0c0d"));
    // Buffers start zero-filled, so the unused tail of a copy is defined too.
    QCOMPARE(transfer->getData()[7], static_cast<unsigned char>(0));
}

ZYR_TEST_CLASS(TestI2cObjects)

#include "tst_i2cobjects.moc"
