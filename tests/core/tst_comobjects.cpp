#include "Communication/comobjecthelper.h"
#include "Communication/comstream.h"
#include "Communication/comstreamformatter.h"
#include "Communication/emptycomdriver.h"
#include "scriptedcomdriver.h"
#include "testcomobject.h"
#include "testregistry.h"

#include <QXmlStreamWriter>

using namespace ZyrCore::Communication;

namespace {

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray result;
    for (int value : values)
        result.append(static_cast<char>(value));
    return result;
}

QString telegramOf(IComObject* object, unsigned char telegramType) {
    QString text;
    QXmlStreamWriter writer(&text);
    ComObjectHelper::writeOpeningTag(object, &writer, telegramType);
    writer.writeEmptyElement("Own");
    ComObjectHelper::writeClosingTag(&writer);
    return text;
}

} // namespace

class TestComObjects : public QObject {
    Q_OBJECT

private slots:
    void copyLeavesTheChain();
    void helperSerialize_data();
    void helperSerialize();
    void helperDeserialize_data();
    void helperDeserialize();
    void helperRefusesNullBuffers();
    void telegramAttributes_data();
    void telegramAttributes();
    void writeValueAttributes_data();
    void writeValueAttributes();
    void writersIgnoreNullWriter();
    void flushObjectTelegram();
    void formatterHeader();
    void formatterParse_data();
    void formatterParse();
    void errorTexts_data();
    void errorTexts();
    void driverLastErrorFetchesOnceAndClearsBuffers();
    void emptyDriverRefusesEverything();
    void mutexCountsHolds();
};

void TestComObjects::copyLeavesTheChain() {
    TestComObject first(0x01, bytes({1}), 3);
    TestComObject second(0x02, bytes({1}), 3);
    first.setNext(&second);
    first.setStatus(5);
    first.setValid(false);
    first.setComment("hello");
    first.setTracePattern(0x100000);

    std::unique_ptr<IComObject> copy(first.clone());
    QVERIFY(copy->next() == nullptr);
    QCOMPARE(int(copy->status()), 5);
    QVERIFY(!copy->valid());
    QCOMPARE(copy->getComment(), QString("hello"));
    QCOMPARE(copy->tracePattern(), 0x100000u);
    QCOMPARE(copy->callingType(), IComObject::RequestAndResponse);
    QCOMPARE(int(dynamic_cast<ISerializable*>(copy.get())->protocol()), 0x01);
}

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

void TestComObjects::helperDeserialize_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<unsigned int>("size");
    QTest::addColumn<bool>("result");
    QTest::addColumn<unsigned int>("value");

    QTest::newRow("size 2") << bytes({0x01, 0x02}) << 2u << true << 258u;
    QTest::newRow("size 1 is unsigned") << bytes({0x80}) << 1u << true << 128u;
    QTest::newRow("size 4") << bytes({0xFF, 0x00, 0x01, 0x02}) << 4u << true << 0xFF000102u;
    QTest::newRow("size 0 keeps the value") << bytes({0x01}) << 0u << true << 77u;
    QTest::newRow("size 3 keeps the value") << bytes({1, 2, 3}) << 3u << false << 77u;
}

void TestComObjects::helperDeserialize() {
    QFETCH(QByteArray, input);
    QFETCH(unsigned int, size);
    QFETCH(bool, result);
    QFETCH(unsigned int, value);

    unsigned int read = 77;
    QCOMPARE(
        ComObjectHelper::deserialize(reinterpret_cast<unsigned char*>(input.data()), size, read),
        result);
    QCOMPARE(read, value);
}

void TestComObjects::helperRefusesNullBuffers() {
    unsigned int value = 5;
    QVERIFY(!ComObjectHelper::serialize(nullptr, 2, 1));
    QVERIFY(!ComObjectHelper::deserialize(nullptr, 2, value));
    QCOMPARE(value, 5u);
}

void TestComObjects::telegramAttributes_data() {
    QTest::addColumn<int>("callingType");
    QTest::addColumn<unsigned int>("trace");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<int>("telegramType");
    QTest::addColumn<QString>("expected");

    QTest::newRow("request") << 1 << 0x08000000u << QString() << 0
                             << "<Telegram Pid=\"61\" CallingType=\"RequestAndResponse\" "
                                "TelegramType=\"Request\" Trace=\"08000000\"><Own/></Telegram>";
    QTest::newRow("response with comment")
        << 1 << 0x08000000u << "note" << 1
        << "<Telegram Pid=\"61\" CallingType=\"RequestAndResponse\" TelegramType=\"Response\" "
           "Trace=\"08000000\"><Comment>note</Comment><Own/></Telegram>";
    QTest::newRow("fire and forget, any non-zero type is a response")
        << 0 << 0x80000000u << QString() << 7
        << "<Telegram Pid=\"61\" CallingType=\"FireAndForget\" TelegramType=\"Response\" "
           "Trace=\"80000000\"><Own/></Telegram>";
    QTest::newRow("unknown calling type")
        << 5 << 0u << QString() << 0
        << "<Telegram Pid=\"61\" CallingType=\"Unknown\" TelegramType=\"Request\" "
           "Trace=\"00000000\"><Own/></Telegram>";
}

void TestComObjects::telegramAttributes() {
    QFETCH(int, callingType);
    QFETCH(unsigned int, trace);
    QFETCH(QString, comment);
    QFETCH(int, telegramType);
    QFETCH(QString, expected);

    TestComObject object(0x61, bytes({1}), 1);
    object.setCallingType(static_cast<IComObject::CallingType>(callingType));
    object.setTracePattern(trace);
    object.setComment(comment);
    QCOMPARE(telegramOf(&object, static_cast<unsigned char>(telegramType)), expected);
}

void TestComObjects::writeValueAttributes_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("out");
    QTest::addColumn<QString>("expected");

    QTest::newRow("bare") << QString() << false << "<Value>12</Value>";
    QTest::newRow("type and out") << "uint" << true
                                  << "<Value type=\"uint\" OutProperty=\"True\">12</Value>";
    QTest::newRow("out only") << QString() << true << "<Value OutProperty=\"True\">12</Value>";
}

void TestComObjects::writeValueAttributes() {
    QFETCH(QString, type);
    QFETCH(bool, out);
    QFETCH(QString, expected);

    QString text;
    QXmlStreamWriter writer(&text);
    ComObjectHelper::writeValue(&writer, "Value", "12", type, out);
    QCOMPARE(text, expected);
}

void TestComObjects::writersIgnoreNullWriter() {
    TestComObject object(0x61, bytes({1}), 1);
    ComObjectHelper::writeOpeningTag(&object, nullptr, 0);
    ComObjectHelper::writeClosingTag(nullptr);
    ComObjectHelper::writeTextElementWithType(nullptr, "a", "b", "c");

    QString text;
    QXmlStreamWriter writer(&text);
    ComObjectHelper::writeTextElementWithType(&writer, "Name", "v", QString());
    QCOMPARE(text, QString("<Name type=\"\">v</Name>"));
}

void TestComObjects::flushObjectTelegram() {
    StreamFlushObject flush;
    QCOMPARE(int(flush.protocol()), 0x7F);
    QCOMPARE(flush.callingType(), IComObject::FireAndForget);
    QVERIFY(!flush.xmlSerialize(nullptr, 0));

    QString text;
    QXmlStreamWriter writer(&text);
    QVERIFY(flush.xmlSerialize(&writer, 0));
    QCOMPARE(text,
             QString("<Telegram Pid=\"7f\" CallingType=\"FireAndForget\" "
                     "TelegramType=\"Request\" Trace=\"80000000\"><StreamFlush/></Telegram>"));

    QXmlStreamReader reader("<StreamFlush><Inner/></StreamFlush><Next/>");
    reader.readNextStartElement();
    QVERIFY(flush.xmlDeserialize(&reader));
    reader.readNextStartElement();
    QCOMPARE(reader.name().toString(), QString("Next"));
    QVERIFY(!flush.xmlDeserialize(nullptr));
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

void TestComObjects::errorTexts_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << "Success";
    QTest::newRow("-1") << -1 << "Error: channel not open";
    QTest::newRow("-2") << -2 << "Error: transmit failed";
    QTest::newRow("-3") << -3 << "Error: receive failed";
    QTest::newRow("-4") << -4 << "Error: received and expected data mismatch";
    QTest::newRow("-5") << -5 << "Unknown error code";
    QTest::newRow("int min") << std::numeric_limits<int>::min() << "Unknown error code";
}

void TestComObjects::errorTexts() {
    QFETCH(int, code);
    QFETCH(QString, text);
    QCOMPARE(QString(ComDriver::errorToString(code)), text);
}

void TestComObjects::driverLastErrorFetchesOnceAndClearsBuffers() {
    ScriptedComDriver driver;
    driver.setPendingError(-3);
    QCOMPARE(driver.lastError(), -3);
    QCOMPARE(driver.lastError(), 0);
    QCOMPARE(driver.clearBufferCalls, 2);
    QCOMPARE(driver.deviceState(), 0);
}

void TestComObjects::emptyDriverRefusesEverything() {
    EmptyComDriver driver;
    unsigned char buffer[2] = {7, 7};
    QVERIFY(!driver.open());
    QVERIFY(!driver.close());
    QVERIFY(!driver.isOpen());
    QCOMPARE(driver.write(buffer, 2), -1);
    QCOMPARE(driver.read(buffer, 2), -1);
    QCOMPARE(driver.flush(), -1);
    QCOMPARE(int(buffer[0]), 7);
    QCOMPARE(driver.lastError(), 0);
    QCOMPARE(driver.checkDeviceState(), -1);
    QCOMPARE(driver.deviceState(), 0);
}

void TestComObjects::mutexCountsHolds() {
    ComMutex mutex;
    QVERIFY(!mutex.unlock());
    mutex.lock();
    mutex.lock();
    QVERIFY(mutex.unlock());
    QVERIFY(mutex.unlock());
    QVERIFY(!mutex.unlock());

    // Holds left at destruction are released; a fresh lock on another mutex is unaffected.
    auto held = std::make_unique<ComMutex>();
    held->lock();
    held->lock();
    held.reset();
}

ZYR_TEST_CLASS(TestComObjects)
#include "tst_comobjects.moc"
