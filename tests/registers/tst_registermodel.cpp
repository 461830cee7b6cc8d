#include "testregistry.h"

#include "Communication/I2c/i2cblockreadregistercomobject.h"
#include "Communication/I2c/i2ccomobjectprovider.h"
#include "Communication/iblockregistercomobject.h"
#include "Communication/registerinfostd.h"
#include "Communication/registervalue.h"

#include <QtTest>

#include <memory>

using namespace ZyrCore::Communication;
using namespace ZyrCore::Communication::I2c;

namespace {

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
    void blockRequestSizes_data();
    void blockRequestSizes();
    void blockResponseAssemblesBigEndian();

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

ZYR_TEST_CLASS(TestRegisterModel)

#include "tst_registermodel.moc"
