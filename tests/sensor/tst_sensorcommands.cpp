#include "testregistry.h"

#include "commands/getcalibrationdatacommand.h"
#include "commands/gethistogramcommand.h"
#include "commands/getobjectscommand.h"
#include "commands/getserialnumbercommand.h"
#include "commands/gettemperaturecommand.h"
#include "commands/selecttdcscommand.h"
#include "commands/setcapturetimecommand.h"
#include "commands/setiterationsandobjectdetectionthresholdcommand.h"
#include "commands/targetconfigurationcommand.h"
#include "commands/textconversion.h"

#include <QRegularExpression>
#include <QSharedPointer>
#include <QtTest>

#include <algorithm>
#include <memory>
#include <typeinfo>

using ZyrCore::Communication::IComObject;
using ZyrCore::Communication::SerializableComObject;
using CommandPointer = QSharedPointer<SerializableComObject>;
Q_DECLARE_METATYPE(CommandPointer)

namespace {

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray result;
    for (int value : values)
        result.append(static_cast<char>(value));
    return result;
}

unsigned char* data(QByteArray& array) {
    return reinterpret_cast<unsigned char*>(array.data());
}

// Matches a trace text in which "<MS>" stands for a time stamp in milliseconds.
bool traceMatches(const QString& trace, const QString& expected) {
    QStringList parts = expected.split(QStringLiteral("<MS>"));
    for (QString& part : parts)
        part = QRegularExpression::escape(part);
    const QRegularExpression pattern(
        QRegularExpression::anchoredPattern(parts.join(QStringLiteral("\\d{10,}"))));
    return pattern.match(trace).hasMatch();
}

QString traceOf(SerializableComObject* command) {
    if (auto* c = dynamic_cast<GetHistogramCommand*>(command))
        return c->traceText();
    if (auto* c = dynamic_cast<GetObjectsCommand*>(command))
        return c->traceText();
    if (auto* c = dynamic_cast<SetCaptureTimeCommand*>(command))
        return c->traceText();
    if (auto* c = dynamic_cast<SelectTDCsCommand*>(command))
        return c->traceText();
    if (auto* c = dynamic_cast<TargetConfigurationCommand*>(command))
        return c->traceText();
    if (auto* c = dynamic_cast<GetSerialNumberCommand*>(command))
        return c->traceText();
    if (auto* c = dynamic_cast<GetCalibrationDataCommand*>(command))
        return c->traceText();
    if (auto* c = dynamic_cast<GetTemperatureCommand*>(command))
        return c->traceText();
    if (auto* c = dynamic_cast<SetIterationsAndObjectDetectionThresholdCommand*>(command))
        return c->traceText();
    return QStringLiteral("<unknown command>");
}

QByteArray histogramBytes(uint16_t first) {
    QByteArray reply(512, '\0');
    for (int bin = 0; bin < 256; ++bin) {
        const uint16_t value = static_cast<uint16_t>(first + bin * 257);
        reply[2 * bin] = static_cast<char>(value & 0xFF);
        reply[2 * bin + 1] = static_cast<char>(value >> 8);
    }
    return reply;
}

QByteArray objectsBytes() {
    return bytes({0x01, 0x22, 0xD2, 0x04, 0x34, 0x12, 0x78, 0x56, 0x3F, 0x05, 0x00, 0x00, 0x00,
                  0x70, 0x11, 0x01, 0x00});
}

} // namespace

// The sensor commands' byte forms, copies, trace texts and text conversions.
class TestSensorCommands : public QObject {
    Q_OBJECT

private slots:
    void requestLayout_data();
    void requestLayout();
    void histogramReply_data();
    void histogramReply();
    void objectsReply_data();
    void objectsReply();
};

void TestSensorCommands::requestLayout_data() {
    QTest::addColumn<CommandPointer>("command");
    QTest::addColumn<int>("protocol");
    QTest::addColumn<int>("replySize");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QString>("trace");

    QTest::newRow("histogram") << CommandPointer(new GetHistogramCommand(3, 4)) << 1 << 512
                               << bytes({0x03, 0x04}) << "#DTX;GET_HISTOGRAM;01;03;04\r\n";
    QTest::newRow("objects") << CommandPointer(new GetObjectsCommand) << 2 << 17 << QByteArray()
                             << "#DTX;<MS>;GET_OBJECTS;02\n";
    QTest::newRow("capture time") << CommandPointer(new SetCaptureTimeCommand(200)) << 5 << 0
                                  << bytes({0xC8, 0, 0, 0})
                                  << "#DTX;SET_CAPTURE_TIME;05;c8;00;00;00\r\n";
    QTest::newRow("select TDCs") << CommandPointer(new SelectTDCsCommand(true, false, true, true))
                                 << 6 << 0 << bytes({1, 0, 1, 1})
                                 << "#DTX;SELECT_TDCS;06;01;00;01;01\r\n";
    QTest::newRow("target configuration")
        << CommandPointer(new TargetConfigurationCommand(1, 0, 3)) << 7 << 0 << bytes({1, 0, 3})
        << "#DTX;TARGET_CONFIGURATION;07;01;00;03\r\n";
    QTest::newRow("serial number") << CommandPointer(new GetSerialNumberCommand) << 8 << 14
                                   << QByteArray() << "#DTX;GET_SERIAL_NUMBER;08\n";
    QTest::newRow("calibration") << CommandPointer(new GetCalibrationDataCommand(2)) << 9 << 14
                                 << bytes({2}) << "#DTX;GET_CALIBRATION_DATA;09;02\r\n";
    QTest::newRow("temperature") << CommandPointer(new GetTemperatureCommand) << 10 << 1
                                 << QByteArray() << "#DTX;<MS>;GET_TEMPERATURE;0A\n";
    QTest::newRow("iterations and threshold")
        << CommandPointer(new SetIterationsAndObjectDetectionThresholdCommand(0x1234, 7)) << 11 << 0
        << bytes({0x34, 0x12, 0x07})
        << "#DTX;SET_ITERATIONS_AND_DETECTION_THRESHOLD;0B;34;12;07\r\n";
}

void TestSensorCommands::requestLayout() {
    QFETCH(CommandPointer, command);
    QFETCH(int, protocol);
    QFETCH(int, replySize);
    QFETCH(QByteArray, request);
    QFETCH(QString, trace);

    QCOMPARE(int(command->protocol()), protocol);
    QCOMPARE(command->tracePattern(), static_cast<unsigned int>(protocol));
    QCOMPARE(command->callingType(), IComObject::RequestAndResponse);
    QCOMPARE(int(command->serializeSize()), request.size());
    QCOMPARE(int(command->deserializeSize()), replySize);
    QVERIFY(command->valid());
    QCOMPARE(int(command->status()), 0);

    QByteArray buffer(16, char(0xAA));
    QVERIFY(command->serialize(data(buffer), buffer.size()));
    QCOMPARE(buffer.left(request.size()), request);
    QCOMPARE(buffer.mid(request.size()), QByteArray(16 - request.size(), char(0xAA)));
    QVERIFY2(traceMatches(traceOf(command.data()), trace), qPrintable(traceOf(command.data())));

    // A copy is its own object of the same class, framing the same request.
    std::unique_ptr<IComObject> clone(command->clone());
    auto* copy = dynamic_cast<SerializableComObject*>(clone.get());
    QVERIFY(copy != nullptr);
    QCOMPARE(typeid(*copy), typeid(*command));
    buffer.fill(char(0xAA));
    QVERIFY(copy->serialize(data(buffer), buffer.size()));
    QCOMPARE(buffer.left(request.size()), request);
}

void TestSensorCommands::histogramReply_data() {
    QTest::addColumn<int>("size");
    QTest::newRow("512") << 512;
    QTest::newRow("511") << 511;
    QTest::newRow("513") << 513;
}

void TestSensorCommands::histogramReply() {
    QFETCH(int, size);
    GetHistogramCommand command(1, 2);
    QByteArray first = histogramBytes(5);
    QVERIFY(command.deserialize(data(first), 512));
    QCOMPARE(command.data()[1], uint16_t(5 + 257));
    QCOMPARE(command.traceText(),
             QStringLiteral("#DRX;GET_HISTOGRAM") + bytesToHexText(data(first), 512));
    QVERIFY(command.traceText().startsWith(QStringLiteral("#DRX;GET_HISTOGRAM;05;00;06;01;")));
    const QString traceBefore = command.traceText();

    QByteArray next = histogramBytes(9);
    next.resize(size);
    QCOMPARE(command.deserialize(data(next), static_cast<unsigned int>(size)), size == 512);
    const uint16_t firstBin = size == 512 ? 9 : 5;
    QCOMPARE(command.data()[0], firstBin);
    QCOMPARE(command.data()[255], uint16_t(firstBin + 255 * 257));
    if (size != 512)
        QCOMPARE(command.traceText(),
                 traceBefore + "#DRX;GET_HISTOGRAM;Wrong response size. Not deserialized.");
}

void TestSensorCommands::objectsReply_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("17 bytes") << objectsBytes();
    QTest::newRow("20 bytes") << objectsBytes() + bytes({0xEE, 0xDD, 0xCC});
}

void TestSensorCommands::objectsReply() {
    QFETCH(QByteArray, reply);
    GetObjectsCommand command;
    QVERIFY(command.deserialize(data(reply), static_cast<unsigned int>(reply.size())));
    QCOMPARE(int(command.objectCount()), 1);
    const ObjectsResult result = command.result();
    QCOMPARE(int(result.byte1), 0x22);
    QCOMPARE(int(result.distance), 1234);
    QCOMPARE(int(result.word4), 0x1234);
    QCOMPARE(int(result.word6), 0x5678);
    QCOMPARE(int(result.confidence), 63);
    QCOMPARE(result.referencePhotonCount, uint32_t(5));
    QCOMPARE(result.objectPhotonCount, uint32_t(70000));
    QVERIFY2(traceMatches(command.traceText(),
                          "#DRX;<MS>;GET_OBJECTS" + bytesToHexText(data(reply), reply.size())),
             qPrintable(command.traceText()));

    // A short reply changes nothing.
    const QString traceBefore = command.traceText();
    QByteArray shortReply(16, '\x09');
    QVERIFY(!command.deserialize(data(shortReply), 16));
    QCOMPARE(int(command.result().distance), 1234);
    QCOMPARE(command.traceText(), traceBefore);
}

ZYR_TEST_CLASS(TestSensorCommands)

#include "tst_sensorcommands.moc"
