#include "HidDevice/hidbackend.h"
#include "Serial/serialcomdriver.h"
#include "boardids.h"
#include "hid/hidcomdriver.h"
#include "simulatedevaluationboard.h"
#include "testregistry.h"
#include "usbframes.h"

#include <QtTest>

using namespace ZyrSim;

namespace {

int hidInterfacesListed(const char* filter) {
    return ZyrHid::HidComDriver::findDevices(ZyrHid::BoardIds::vendorId,
                                             ZyrHid::BoardIds::productId, filter)
        .size();
}

int serialPortsListed() {
    ZyrCom::Serial::SerialComDeviceInfo filter;
    filter.setVendorId(ZyrHid::BoardIds::vendorId);
    filter.setProductId(ZyrHid::BoardIds::productId);
    return ZyrCom::Serial::SerialComDriver::findDevices(&filter).size();
}

// Every report a board with stale-report faults sends for 15 firmware-number requests, each
// prefixed with the counter of the request it followed.
QList<QByteArray> staleReportRun(quint32 seed) {
    SimulatorConfig config;
    config.seed = seed;
    config.setFault(BoardInterface::Module, TransportFault::StaleReports);
    SimulatedBoard board(config);
    SimulatedHidInterface& hid = board.hidInterface(BoardInterface::Module);
    const auto session = hid.claim();
    QList<QByteArray> reports;
    for (char counter = 0; counter < 15; ++counter) {
        QByteArray request(65, '\0');
        request[1] = counter;
        request[2] = 5;
        request.replace(4, 5, QByteArray::fromHex("6700000003"));
        hid.hostWrite(session, reinterpret_cast<const unsigned char*>(request.constData()), 65);
        unsigned char report[65];
        unsigned int length = 0;
        while (hid.pendingReports() > 0 &&
               hid.hostRead(session, report, sizeof report, 10, &length) ==
                   SimulatedHidInterface::Transfer::Done)
            reports.append(counter +
                           QByteArray(reinterpret_cast<const char*>(report), int(length)));
    }
    return reports;
}

void parsed(const char* row, const QString& text, const QString& normalised) {
    QTest::newRow(row) << text << true << normalised;
}

void refused(const char* row, const QString& text, const QString& reason) {
    QTest::newRow(row) << text << false << reason;
}

// The refusal names what the key takes.
void badValue(const char* row, const QString& key, const QString& value, const QString& takes) {
    refused(row, key + QLatin1Char('=') + value,
            QStringLiteral("Bad value \"%1\" for simulator setting \"%2\"; it takes %3.")
                .arg(value, key, takes));
}

const QString kAnyUnsigned = QStringLiteral("0-4294967295");
const QString kFaults = QStringLiteral(
    "none, noreply, wrongprotocol, toolong, stale, zerocount, endless, unplugged, denied");
const QString kRevisions = QStringLiteral(
    "four numbers 0-255 joined by dots, such as 2.0.15.1 (empty: the chip's own revision)");

} // namespace

class TestSimulator : public QObject {
    Q_OBJECT

private slots:
    void config_data();
    void config();
    void listedKeysAreTheParsedOnes();
    void sameSeedSameFaults();
    void evaluationBoardSelectsItselfWhileAlive();
    void reportsTakeWholeFramesOnAFixedGrid_data();
    void reportsTakeWholeFramesOnAFixedGrid();
};

void TestSimulator::config_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("parses");
    QTest::addColumn<QString>("result"); // the normalised text, or the refusal
    const QString defaults = "timing=off,fault.control=none,fault.module=none,chip=KEL4401";
    parsed("defaults", "", "seed=1," + defaults);
    parsed("all board keys", "seed=7,timing=on,fault.module=noreply,fault.control=stale",
           "seed=7,timing=on,fault.control=stale,fault.module=noreply,chip=KEL4401");
    parsed("spaces and empty parts", " seed = 3 ,, fault.module=unplugged ",
           "seed=3,timing=off,fault.control=none,fault.module=unplugged,chip=KEL4401");
    parsed("sensor keys",
           "chip=KEL4405,seed=3,timing=off,fault.module=noreply,app0=2.0.15.1,target=1200,"
           "badHistogram=1,shortObjects=on,deviceStatus=5,calibrationMs=0x190",
           "seed=3,timing=off,fault.control=none,fault.module=noreply,chip=KEL4405,"
           "app0=2.0.15.1,target=1200,calibrationMs=400,badHistogram=1,shortObjects=1,"
           "deviceStatus=5");
    parsed("largest seed", "seed=4294967295", "seed=4294967295," + defaults);
    badValue("seed not a number", "seed", "abc", kAnyUnsigned);
    badValue("seed too large", "seed", "4294967296", kAnyUnsigned);
    badValue("unknown fault", "fault.module", "bogus", kFaults);
    refused("unknown key", "colour=red",
            "Unknown simulator setting \"colour\"; the settings are seed, timing, fault.control, "
            "fault.module, fault.crcFile, fault.refuseLoad, chip, app0, target, calibrationMs, "
            "badHistogram, shortObjects, deviceStatus.");
    badValue("unknown chip", "chip", "KEL9999", "KEL4301, KEL4401, KEL4405");
    badValue("three-part revision", "app0", "2.0.15", kRevisions);
    refused("blank in a revision", "app0=1. 2.3.4",
            "Value \"1. 2.3.4\" of simulator setting \"app0\" contains a blank.");
    badValue("target out of range", "target", "99999", "0-5000 (millimetres; 0: a moving target)");
    // Each bounded value is taken at its maximum and refused one above it.
    parsed("farthest target", "target=5000", "seed=1," + defaults + ",target=5000");
    badValue("target one past the farthest", "target", "5001",
             "0-5000 (millimetres; 0: a moving target)");
    parsed("longest calibration", "calibrationMs=60000",
           "seed=1," + defaults + ",calibrationMs=60000");
    badValue("calibration too long", "calibrationMs", "60001", "0-60000");
    parsed("largest device status", "deviceStatus=0xff",
           "seed=1," + defaults + ",deviceStatus=255");
    badValue("device status past a byte", "deviceStatus", "256", "0-255");
    parsed("largest revision", "app0=255.255.255.255",
           "seed=1," + defaults + ",app0=255.255.255.255");
    badValue("revision part past a byte", "app0", "2.0.256.0", kRevisions);
    badValue("switch", "timing", "1", "on, off");
    badValue("sensor flag", "badHistogram", "yes", "on, off, 1, 0, true, false");
    badValue("file store fault", "fault.crcFile", "first",
             kAnyUnsigned + " (the file of that number in an upload fails its checksum; 0: none)");
    badValue("module load fault", "fault.refuseLoad", "1", "on, off");
    refused("no value", "seed", "Simulator setting \"seed\" is not of the form key=value.");
}

// A text either parses to a form that parses to itself, or is refused with its reason and leaves
// the configuration as it was.
void TestSimulator::config() {
    QFETCH(QString, text);
    QFETCH(bool, parses);
    QFETCH(QString, result);
    SimulatorConfig config;
    if (!parses)
        config.seed = 42; // a refusal changes nothing
    const QString before = config.toString();
    QString message = QStringLiteral("untouched");
    QCOMPARE(SimulatorConfig::parse(text, &config, &message), parses);
    if (!parses) {
        QVERIFY(!SimulatorConfig::parse(text, nullptr));
        QCOMPARE(message, result);
        QCOMPARE(config.toString(), before);
        return;
    }
    QCOMPARE(message, QStringLiteral("untouched"));
    QCOMPARE(config.toString(), result);
    SimulatorConfig again;
    QVERIFY(SimulatorConfig::parse(config.toString(), &again));
    QCOMPARE(again.toString(), result);
    // One seed for the board and the sensor.
    QCOMPARE(config.sensorConfig().seed, config.seed);

    // The evaluation board takes the same text.
    const auto board = SimulatedEvaluationBoard::create(text);
    QVERIFY(board != nullptr);
    QCOMPARE(board->config().toString(), result);
    QCOMPARE(board->sensor().config().toText(), config.sensorConfig().toText());
}

// The keys listed for people are those the text form takes, each refusing a bad value with what
// it takes.
void TestSimulator::listedKeysAreTheParsedOnes() {
    for (const QString& key : SimulatorConfig::keys()) {
        const QString takes = SimulatorConfig::acceptedValues(key);
        QVERIFY2(!takes.isEmpty(), qPrintable(key));
        SimulatorConfig config;
        QString message;
        QVERIFY2(!SimulatorConfig::parse(key + "=?", &config, &message), qPrintable(key));
        QCOMPARE(message,
                 QStringLiteral("Bad value \"?\" for simulator setting \"%1\"; it takes %2.")
                     .arg(key, takes));
    }
    QCOMPARE(SimulatorConfig::acceptedValues("colour"), QString());
}

void TestSimulator::sameSeedSameFaults() {
    const QList<QByteArray> first = staleReportRun(7);
    QCOMPARE(staleReportRun(7), first);
    QVERIFY(staleReportRun(8) != first);
    QVERIFY(first.size() > 15); // every reply came after at least one stale report
    int replies = 0;
    for (const QByteArray& answer : first) {
        const bool isReply = answer[5] == char(103);
        replies += isReply ? 1 : 0;
        // Only the reply carries the counter of the request it answers.
        QCOMPARE(char(quint8(answer[2]) >> 4) == answer[0], isReply);
    }
    QCOMPARE(replies, 15);
}

void TestSimulator::evaluationBoardSelectsItselfWhileAlive() {
    ZyrHid::IHidBackend* before = ZyrHid::HidBackend::current();
    const int serialPortsBefore = serialPortsListed();
    {
        SimulatedEvaluationBoard board;
        QVERIFY(ZyrHid::HidBackend::current() != before);
        QCOMPARE(hidInterfacesListed(ZyrHid::BoardIds::controlInterfaceFilter), 1);
        QCOMPARE(hidInterfacesListed(ZyrHid::BoardIds::moduleInterfaceFilter), 1);
        QCOMPARE(hidInterfacesListed(""), 2);
        QCOMPARE(serialPortsListed(), serialPortsBefore + 1);
    }
    QCOMPARE(ZyrHid::HidBackend::current(), before);
    QCOMPARE(serialPortsListed(), serialPortsBefore);
}

void TestSimulator::reportsTakeWholeFramesOnAFixedGrid_data() {
    // Microseconds from the start of a frame.
    QTest::addColumn<int>("handedOver");
    QTest::addColumn<int>("lastFrameEnd");
    QTest::addColumn<int>("frameEnd");
    QTest::newRow("idle bus, frame just begun") << 0 << -5000 << 1000;
    QTest::newRow("idle bus, frame nearly over") << 900 << -5000 << 1000;
    QTest::newRow("host a little late after its last frame") << 57 << 0 << 1000;
    QTest::newRow("host a frame late") << 1200 << 0 << 2000;
    QTest::newRow("frames taken ahead") << 200 << 3000 << 4000;
}

void TestSimulator::reportsTakeWholeFramesOnAFixedGrid() {
    QFETCH(int, handedOver);
    QFETCH(int, lastFrameEnd);
    using std::chrono::microseconds;
    const std::chrono::steady_clock::time_point frame(std::chrono::seconds(5000));
    const auto end =
        reportFrameEnd(frame + microseconds(handedOver), frame + microseconds(lastFrameEnd));
    QTEST(int(std::chrono::duration_cast<microseconds>(end - frame).count()), "frameEnd");
}

ZYR_TEST_CLASS(TestSimulator)
#include "tst_simulator.moc"
