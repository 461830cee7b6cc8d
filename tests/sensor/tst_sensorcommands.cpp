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

#include <functional>
#include <memory>
#include <typeinfo>

using ZyrCore::Communication::IComObject;
using ZyrCore::Communication::SerializableComObject;
using CommandPointer = QSharedPointer<SerializableComObject>;

// A command with its trace text, which each command class offers under the same name.
struct TracedCommand {
    CommandPointer command;
    std::function<QString()> traceText;
};
Q_DECLARE_METATYPE(TracedCommand)

template <class Command>
TracedCommand traced(Command* command) {
    return {CommandPointer(command), [command] { return command->traceText(); }};
}

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

} // namespace

// The sensor commands' byte forms, copies, trace texts and text conversions.
class TestSensorCommands : public QObject {
    Q_OBJECT

private slots:
    void requestLayout_data();
    void requestLayout();
};

void TestSensorCommands::requestLayout_data() {
    QTest::addColumn<TracedCommand>("traced");
    QTest::addColumn<int>("protocol");
    QTest::addColumn<int>("replySize");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QString>("trace");

    QTest::newRow("histogram") << traced(new GetHistogramCommand(3, 4)) << 1 << 512
                               << bytes({0x03, 0x04}) << "#DTX;GET_HISTOGRAM;01;03;04\r\n";
    QTest::newRow("objects") << traced(new GetObjectsCommand) << 2 << 17 << QByteArray()
                             << "#DTX;<MS>;GET_OBJECTS;02\n";
    QTest::newRow("capture time") << traced(new SetCaptureTimeCommand(200)) << 5 << 0
                                  << bytes({0xC8, 0, 0, 0})
                                  << "#DTX;SET_CAPTURE_TIME;05;c8;00;00;00\r\n";
    QTest::newRow("select TDCs") << traced(new SelectTDCsCommand(true, false, true, true)) << 6 << 0
                                 << bytes({1, 0, 1, 1}) << "#DTX;SELECT_TDCS;06;01;00;01;01\r\n";
    QTest::newRow("target configuration")
        << traced(new TargetConfigurationCommand(1, 0, 3)) << 7 << 0 << bytes({1, 0, 3})
        << "#DTX;TARGET_CONFIGURATION;07;01;00;03\r\n";
    QTest::newRow("serial number") << traced(new GetSerialNumberCommand) << 8 << 14 << QByteArray()
                                   << "#DTX;GET_SERIAL_NUMBER;08\n";
    QTest::newRow("calibration") << traced(new GetCalibrationDataCommand(2)) << 9 << 14
                                 << bytes({2}) << "#DTX;GET_CALIBRATION_DATA;09;02\r\n";
    QTest::newRow("temperature") << traced(new GetTemperatureCommand) << 10 << 1 << QByteArray()
                                 << "#DTX;<MS>;GET_TEMPERATURE;0A\n";
    QTest::newRow("iterations and threshold")
        << traced(new SetIterationsAndObjectDetectionThresholdCommand(0x1234, 7)) << 11 << 0
        << bytes({0x34, 0x12, 0x07})
        << "#DTX;SET_ITERATIONS_AND_DETECTION_THRESHOLD;0B;34;12;07\r\n";
}

void TestSensorCommands::requestLayout() {
    QFETCH(TracedCommand, traced);
    const CommandPointer& command = traced.command;
    QFETCH(int, protocol);
    QFETCH(QByteArray, request);
    QFETCH(QString, trace);

    QCOMPARE(int(command->protocol()), protocol);
    QCOMPARE(command->tracePattern(), static_cast<unsigned int>(protocol));
    QCOMPARE(command->callingType(), IComObject::RequestAndResponse);
    QCOMPARE(int(command->serializeSize()), request.size());
    QTEST(int(command->deserializeSize()), "replySize");

    QByteArray buffer(16, char(0xAA));
    QVERIFY(command->serialize(data(buffer), buffer.size()));
    QCOMPARE(buffer.left(request.size()), request);
    QCOMPARE(buffer.mid(request.size()), QByteArray(16 - request.size(), char(0xAA)));
    QVERIFY2(traceMatches(traced.traceText(), trace), qPrintable(traced.traceText()));

    // A copy is its own object of the same class, framing the same request.
    std::unique_ptr<IComObject> clone(command->clone());
    auto* copy = dynamic_cast<SerializableComObject*>(clone.get());
    QVERIFY(copy != nullptr);
    QCOMPARE(typeid(*copy), typeid(*command));
    buffer.fill(char(0xAA));
    QVERIFY(copy->serialize(data(buffer), buffer.size()));
    QCOMPARE(buffer.left(request.size()), request);
}

ZYR_TEST_CLASS(TestSensorCommands)

#include "tst_sensorcommands.moc"
