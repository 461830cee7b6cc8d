#include "assertionabort.h"
#include "testregistry.h"

#include "Communication/I2c/i2cblockreadregistercomobject.h"
#include "Communication/I2c/i2ccomobjectprovider.h"
#include "Communication/iblockregistercomobject.h"
#include "Communication/imodifyregistercomobject.h"
#include "Communication/registerinfostd.h"
#include "Communication/registervalue.h"

#include <QtTest>

#include <memory>

using namespace ZyrCore::Communication;
using namespace ZyrCore::Communication::I2c;

namespace {

constexpr unsigned int kProviderTrace = 0x8000000;

// A bus without masked writes.
class ProviderWithoutModify : public I2cComObjectProvider {
public:
    IModifyRegisterComObject* createModifyRegisterObject() override { return nullptr; }
};

// Feeds a reply to the block objects of a queue, as the stream would.
void answerBlocks(QQueue<IComObject*>& queue, const QByteArray& bytes, char status) {
    int offset = 0;
    for (IComObject* entry : queue) {
        auto* block = dynamic_cast<I2cBlockReadRegisterComObject*>(entry);
        QVERIFY(block != nullptr);
        QByteArray part = bytes.mid(offset, static_cast<int>(block->dataSize()));
        offset += part.size();
        QVERIFY(block->deserialize(reinterpret_cast<unsigned char*>(part.data()),
                                   static_cast<unsigned int>(part.size())));
        block->setStatus(status);
    }
}

struct OwnedValues {
    explicit OwnedValues(int count) {
        for (int i = 0; i < count; ++i)
            list.append(new RegisterValue(0xFFFF, 9));
    }
    ~OwnedValues() { qDeleteAll(list); }
    QList<IRegisterValue*> list;
};

} // namespace

class TestRegisterModel : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void keys_data();
    void keys();
    void accessFromMask();
    void modifyValue();
    void successors_data();
    void successors();
    void readRequestAndResponse();
    void writeAndModifyRequests();
    void blockRequestSizes_data();
    void blockRequestSizes();
    void blockResponseAssemblesBigEndian();
    void contractViolationsStop();

private:
    I2cComObjectProvider* itsProvider = nullptr;
    QQueue<IComObject*> itsQueue;
};

void TestRegisterModel::init() {
    itsProvider = new I2cComObjectProvider;
    itsProvider->setConfiguration(0x40);
}

void TestRegisterModel::cleanup() {
    qDeleteAll(itsQueue);
    itsQueue.clear();
    delete itsProvider;
}

void TestRegisterModel::keys_data() {
    QTest::addColumn<unsigned int>("address");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("text");
    QTest::newRow("0x1a2 keeps low bytes") << 0x1A2u << QByteArray::fromHex("01a2a2") << "0x1a2"
                                           << "reg addr: 0x1a2";
    QTest::newRow("0x07") << 0x07u << QByteArray::fromHex("010707") << "0x07"
                          << "reg addr: 0x7";
    QTest::newRow("0x90") << 0x90u << QByteArray::fromHex("019090") << "0x90"
                          << "reg addr: 0x90";
}

void TestRegisterModel::keys() {
    QFETCH(unsigned int, address);
    QFETCH(QByteArray, key);
    QFETCH(QString, id);
    QFETCH(QString, text);
    RegisterInfoStd info(address, 8, 8, 0xFF);
    QCOMPARE(info.key(), key);
    QCOMPARE(info.id(), id);
    QCOMPARE(info.toString(), text);
    RegisterInfoStd lowByteOnly(address & 0xFF, 8, 8, 0xFF);
    QVERIFY(info.equals(&lowByteOnly));
    RegisterInfoStd other(0x10, 8, 8, 0xFF);
    QVERIFY(!info.equals(&other));
}

void TestRegisterModel::accessFromMask() {
    RegisterInfoStd closed(0x10, 8, 8, 0);
    QVERIFY(closed.isReadOnly());
    QVERIFY(closed.isWriteOnly());
    RegisterInfoStd open(0x10, 8, 8, 0x01);
    QVERIFY(!open.isReadOnly());
    QVERIFY(!open.isWriteOnly());
}

void TestRegisterModel::modifyValue() {
    RegisterValue stored(0x50, 3);
    RegisterValue value(0xAB, 0);
    RegisterValue mask(0x0F, 0);
    stored.modifyValue(&value, &mask);
    QCOMPARE(stored.value(), 0x5Bu);
    QCOMPARE(stored.state(), '\0');
}

void TestRegisterModel::successors_data() {
    QTest::addColumn<unsigned int>("address");
    QTest::addColumn<unsigned int>("mask");
    QTest::addColumn<int>("bits");
    QTest::addColumn<bool>("successor");
    QTest::newRow("0x11 after 0x10") << 0x11u << 0xFFu << 8 << true;
    QTest::newRow("0x0f before 0x10") << 0x0Fu << 0xFFu << 8 << false;
    QTest::newRow("same address") << 0x10u << 0xFFu << 8 << false;
    QTest::newRow("other mask") << 0x11u << 0x0Fu << 8 << false;
    QTest::newRow("other width") << 0x11u << 0xFFu << 12 << false;
}

void TestRegisterModel::successors() {
    QFETCH(unsigned int, address);
    QFETCH(unsigned int, mask);
    QFETCH(int, bits);
    QFETCH(bool, successor);
    RegisterInfoStd previous(0x10, 8, 8, 0xFF);
    RegisterInfoStd info(address, 8, static_cast<unsigned char>(bits), mask);
    QCOMPARE(info.isDirectSuccessorOf(&previous), successor);
}

void TestRegisterModel::readRequestAndResponse() {
    RegisterInfoStd info(0x90, 8, 8, 0xFF);
    RegisterValue value;
    info.processReadRegisterRequest(&itsQueue, &value, itsProvider);
    QCOMPARE(itsQueue.count(), 1);
    auto* read = dynamic_cast<IRegisterComObject*>(itsQueue.head());
    QVERIFY(read != nullptr);
    QCOMPARE(read->registerAddress(), 0x90u);
    QCOMPARE(read->tracePattern(), kProviderTrace);

    read->setRegisterValue(0x8E);
    read->setStatus(5);
    info.processReadRegisterResponse(&itsQueue, &value);
    QVERIFY(itsQueue.isEmpty());
    QCOMPARE(value.value(), 0x8Eu);
    QCOMPARE(value.state(), '\5');

    // A description's own trace pattern replaces the provider's on reads.
    info.setTracePattern(0x100000);
    info.processReadRegisterRequest(&itsQueue, &value, itsProvider);
    QCOMPARE(itsQueue.head()->tracePattern(), 0x100000u);

    // A null value queues a null entry.
    info.processReadRegisterRequest(&itsQueue, nullptr, itsProvider);
    QCOMPARE(itsQueue.count(), 2);
    QVERIFY(itsQueue.last() == nullptr);
}

void TestRegisterModel::writeAndModifyRequests() {
    RegisterInfoStd info(0x12, 8, 8, 0xFF);
    info.setTracePattern(0x100000);
    RegisterValue value(0xAB, 0);
    RegisterValue mask(0x0F, 0);

    info.processWriteRegisterRequest(&itsQueue, &value, itsProvider);
    auto* write = dynamic_cast<IRegisterComObject*>(itsQueue.head());
    QVERIFY(write != nullptr);
    QCOMPARE(write->registerAddress(), 0x12u);
    QCOMPARE(write->registerValue(), 0xABu);
    QCOMPARE(write->tracePattern(), kProviderTrace);
    info.processWriteRegisterResponse(&itsQueue, &value);
    QVERIFY(itsQueue.isEmpty());

    info.processModifyRegisterRequest(&itsQueue, &value, &mask, itsProvider);
    auto* modify = dynamic_cast<IModifyRegisterComObject*>(itsQueue.head());
    QVERIFY(modify != nullptr);
    QCOMPARE(modify->registerValue(), 0xABu);
    QCOMPARE(modify->mask(), 0x0Fu);
    QCOMPARE(modify->tracePattern(), kProviderTrace);
    info.processModifyRegisterResponse(&itsQueue, &value, &mask);
    QVERIFY(itsQueue.isEmpty());

    ProviderWithoutModify plainBus;
    plainBus.setConfiguration(0x40);
    info.processModifyRegisterRequest(&itsQueue, &value, &mask, &plainBus);
    QCOMPARE(itsQueue.count(), 1);
    QVERIFY(itsQueue.head() == nullptr);
    info.processModifyRegisterResponse(&itsQueue, &value, &mask);
    QVERIFY(itsQueue.isEmpty());
}

void TestRegisterModel::blockRequestSizes_data() {
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("count");
    QTest::addColumn<unsigned int>("bytesPerValue");
    QTest::newRow("8 bits") << 8 << 3 << 1u;
    QTest::newRow("1 bit") << 1 << 2 << 1u;
    QTest::newRow("12 bits") << 12 << 2 << 2u;
    QTest::newRow("16 bits") << 16 << 4 << 2u;
    QTest::newRow("32 bits") << 32 << 1 << 4u;
}

void TestRegisterModel::blockRequestSizes() {
    QFETCH(int, bits);
    QFETCH(int, count);
    QFETCH(unsigned int, bytesPerValue);
    RegisterInfoStd info(0x20, 8, static_cast<unsigned char>(bits), 0xFFFF);
    OwnedValues values(count);
    info.processBlockReadRegisterRequest(&itsQueue, &values.list, itsProvider);
    QCOMPARE(itsQueue.count(), 1);
    auto* block = dynamic_cast<IBlockRegisterComObject*>(itsQueue.head());
    QVERIFY(block != nullptr);
    QCOMPARE(block->startAddress(), 0x20u);
    QCOMPARE(block->blockSize(), bytesPerValue);
    QCOMPARE(block->dataSize(), bytesPerValue * static_cast<unsigned int>(count));
}

void TestRegisterModel::blockResponseAssemblesBigEndian() {
    RegisterInfoStd info(0x20, 8, 12, 0xFFF);
    OwnedValues values(2);
    info.processBlockReadRegisterRequest(&itsQueue, &values.list, itsProvider);
    answerBlocks(itsQueue, QByteArray::fromHex("012c0fff"), 2);
    info.processBlockReadRegisterResponse(&itsQueue, &values.list);
    QVERIFY(itsQueue.isEmpty());
    QCOMPARE(values.list.at(0)->value(), 0x012Cu);
    QCOMPARE(values.list.at(1)->value(), 0x0FFFu);
    QCOMPARE(values.list.at(0)->state(), '\2');
}

void TestRegisterModel::contractViolationsStop() {
    ZYR_VERIFY_NULL_ASSERTION(
        [] {
            RegisterValue stored;
            RegisterValue mask(1, 0);
            stored.modifyValue(nullptr, &mask);
        },
        "Communication/registervalue", "modValue");
    ZYR_VERIFY_ASSERTION(
        [] {
            RegisterInfoStd info(0x10, 8, 8, 0xFF);
            QQueue<IComObject*> queue;
            RegisterValue value;
            queue.enqueue(nullptr);
            info.processReadRegisterResponse(&queue, &value);
        },
        "Communication/registerinfostd", "false", "No matching com object found.");
}

ZYR_TEST_CLASS(TestRegisterModel)

#include "tst_registermodel.moc"
