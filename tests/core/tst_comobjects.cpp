#include "Communication/comobjecthelper.h"
#include "Communication/comstream.h"
#include "Communication/comstreamformatter.h"
#include "scriptedcomdriver.h"
#include "testcomobject.h"
#include "testregistry.h"

using namespace ZyrCore::Communication;

namespace {

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray result;
    for (int value : values)
        result.append(static_cast<char>(value));
    return result;
}

} // namespace

class TestComObjects : public QObject {
    Q_OBJECT

private slots:
    void helperSerialize_data();
    void helperSerialize();
    void formatterHeader();
    void formatterParse_data();
    void formatterParse();
};

void TestComObjects::helperSerialize_data() {
    QTest::addColumn<unsigned int>("size");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QByteArray>("written");

    QTest::newRow("size 1") << 1u << true << bytes({0x02, 0xEE, 0xEE, 0xEE, 0xEE});
    QTest::newRow("size 2") << 2u << true << bytes({0x01, 0x02, 0xEE, 0xEE, 0xEE});
    QTest::newRow("size 4") << 4u << true << bytes({0x00, 0x00, 0x01, 0x02, 0xEE});
    QTest::newRow("size 0") << 0u << true << bytes({0xEE, 0xEE, 0xEE, 0xEE, 0xEE});
    QTest::newRow("size 3") << 3u << false << bytes({0xEE, 0xEE, 0xEE, 0xEE, 0xEE});
    QTest::newRow("size 5") << 5u << false << bytes({0xEE, 0xEE, 0xEE, 0xEE, 0xEE});
}

void TestComObjects::helperSerialize() {
    QFETCH(unsigned int, size);
    QFETCH(bool, result);
    QFETCH(QByteArray, written);

    QByteArray buffer(5, char(0xEE));
    QCOMPARE(ComObjectHelper::serialize(reinterpret_cast<unsigned char*>(buffer.data()), size, 258),
             result);
    QCOMPARE(buffer, written);
}

void TestComObjects::formatterHeader() {
    ComStreamFormatter formatter;
    QCOMPARE(formatter.getHeaderSize(), 3u);
    QCOMPARE(formatter.getMaxDataSize(), 1093u);

    unsigned char buffer[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    QCOMPARE(formatter.formatHeader(buffer, 5, 61, 0), 3u);
    QCOMPARE(QByteArray(reinterpret_cast<char*>(buffer), 4), bytes({0x05, 0x3D, 0x00, 0xEE}));
}

void TestComObjects::formatterParse_data() {
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<int>("counter");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("status");

    QTest::newRow("whole counter byte") << bytes({0xA3, 0x10, 0x02}) << 0xA3 << 16 << 2;
    QTest::newRow("all ones") << bytes({0xFF, 0xFF, 0xFF}) << 0xFF << 0xFF << 0xFF;
}

void TestComObjects::formatterParse() {
    QFETCH(QByteArray, header);
    QFETCH(int, counter);
    QFETCH(int, length);
    QFETCH(int, status);

    ComStreamFormatter formatter;
    unsigned char readCounter = 0, readLength = 0, readStatus = 0;
    auto* buffer = reinterpret_cast<unsigned char*>(header.data());
    QCOMPARE(formatter.parseHeader(buffer, &readCounter, &readLength, &readStatus), 3u);
    QCOMPARE(int(readCounter), counter);
    QCOMPARE(int(readLength), length);
    QCOMPARE(int(readStatus), status);
    QCOMPARE(formatter.parseHeader(buffer, nullptr, nullptr, nullptr), 3u);
}

ZYR_TEST_CLASS(TestComObjects)
#include "tst_comobjects.moc"
