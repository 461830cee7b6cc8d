#include "testregistry.h"

#include "Communication/comstream.h"
#include "Communication/comstreamformatter.h"
#include "boardids.h"
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
#include "hid/hidcomdriver.h"
#include "simulatedevaluationboard.h"

#include <QElapsedTimer>
#include <QtTest>

#include <algorithm>
#include <memory>

using ZyrCore::Communication::ComStream;
using ZyrCore::Communication::IComObject;
using ZyrSim::FirmwareRequest;
using ZyrSim::SensorConfig;
using ZyrSim::SimulatedSensor;

namespace {

// The simulated board as HID backend, with a stream over the module interface's HID driver.
struct BoardRig {
    explicit BoardRig(const QString& configText = QString())
        : board(ZyrSim::SimulatedEvaluationBoard::create(configText))
        , driver(moduleInterface())
        , stream(&driver, ComStream::theImmediateFlushPolicy) {
        if (!board)
            qFatal("bad simulator configuration in a test: %s", qPrintable(configText));
        driver.setStreamFormatter(&formatter);
        board->board()
            .firmware(ZyrSim::BoardInterface::Module)
            .setObserver([this](const FirmwareRequest& request) { requests.append(request); });
        stream.open();
    }
    ~BoardRig() { stream.close(); }

    static ZyrHid::HidComDeviceInfo moduleInterface() {
        ZyrHid::HidComDeviceInfo info(ZyrHid::BoardIds::vendorId, ZyrHid::BoardIds::productId);
        info.setPath(ZyrHid::BoardIds::moduleInterfaceFilter);
        return info;
    }

    // Executes one command and returns the stream's error.
    int run(IComObject& command) {
        stream.execute(&command);
        return stream.lastError();
    }

    std::vector<uint16_t> histogram(uint8_t type, uint8_t channel) {
        GetHistogramCommand command(type, channel);
        if (run(command) != 0 || !command.valid())
            qFatal("histogram request failed");
        return std::vector<uint16_t>(command.data(), command.data() + 256);
    }

    SimulatedSensor& sensor() { return board->sensor(); }

    std::unique_ptr<ZyrSim::SimulatedEvaluationBoard> board;
    ZyrCore::Communication::ComStreamFormatter formatter;
    ZyrHid::HidComDriver driver;
    ComStream stream;
    QList<FirmwareRequest> requests;
};

FirmwareRequest request(unsigned char protocol, const QByteArray& payload) {
    FirmwareRequest result;
    result.protocol = protocol;
    result.replySize = 512;
    result.payload = payload;
    return result;
}

int peakBin(const std::vector<uint16_t>& bins, int first = 0, int end = 256) {
    return static_cast<int>(std::max_element(bins.begin() + first, bins.begin() + end) -
                            bins.begin());
}

bool allZero(const uint16_t* first, const uint16_t* end) {
    return std::all_of(first, end, [](uint16_t v) { return v == 0; });
}

QString hexOf(const QByteArray& record) {
    return bytesToHexText(reinterpret_cast<const uint8_t*>(record.constData()), record.size())
        .toUpper();
}

} // namespace

class TestSimulatedSensor : public QObject {
    Q_OBJECT

private slots:
    void configText_data();
    void configText();
    void replies_data();
    void replies();
    void everyCommandRoundTrips();
    void identityFollowsChipModel_data();
    void identityFollowsChipModel();
    void histogramPeakSitsAtTargetBin_data();
    void histogramPeakSitsAtTargetBin();
    void settingsShapeLaterHistograms();
    void longRangeHistogramsCarryExponents_data();
    void longRangeHistogramsCarryExponents();
    void targetAndTemperatureDriftSmoothly();
    void objectsFollowTargetAndMode();
    void calibrationNeedsTheLongReadTimeout();
    void faultsReachTheCommands();
};

void TestSimulatedSensor::configText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("parses");
    QTest::addColumn<QString>("normalized");
    QTest::newRow("empty") << "" << true << "chip=KEL4401 seed=77";
    QTest::newRow("separators and case") << "chip=kel4405;app0=2.0.15.1, target=1200" << true
                                         << "chip=KEL4405 seed=77 app0=2.0.15.1 target=1200";
    QTest::newRow("faults") << "badHistogram=1 shortObjects=true deviceStatus=0x05" << true
                            << "chip=KEL4401 seed=77 badHistogram=1 shortObjects=1 deviceStatus=5";
    QTest::newRow("largest seed") << "seed=4294967295" << true << "chip=KEL4401 seed=4294967295";
    QTest::newRow("unknown key") << "colour=red" << false << QString();
    QTest::newRow("unknown chip") << "chip=KEL9999" << false << QString();
    QTest::newRow("no equals sign") << "seed=3 KEL4301" << false << QString();
    QTest::newRow("seed too large") << "seed=4294967296" << false << QString();
    QTest::newRow("three-part revision") << "app0=2.0.15" << false << QString();
    QTest::newRow("revision byte too large") << "app0=2.0.256.1" << false << QString();
    QTest::newRow("target too far") << "target=5001" << false << QString();
    QTest::newRow("calibration time")
        << "calibrationMs=0x190" << true << "chip=KEL4401 seed=77 calibrationMs=400";
    QTest::newRow("calibration too long") << "calibrationMs=60001" << false << QString();
    QTest::newRow("bad flag") << "badHistogram=maybe" << false << QString();
    QTest::newRow("status too large") << "deviceStatus=256" << false << QString();
}

void TestSimulatedSensor::configText() {
    QFETCH(QString, text);
    QFETCH(bool, parses);
    QFETCH(QString, normalized);
    SensorConfig config;
    config.seed = 77;
    QCOMPARE(config.parse(text), parses);
    if (!parses) {
        QCOMPARE(config.seed, 77u);
        QCOMPARE(config.toText(), [] {
            SensorConfig untouched;
            untouched.seed = 77;
            return untouched.toText();
        }());
        return;
    }
    QCOMPARE(config.toText(), normalized);
    SensorConfig again;
    QVERIFY(again.parse(config.toText()));
    QCOMPARE(again.toText(), normalized);
}

void TestSimulatedSensor::replies_data() {
    QTest::addColumn<int>("protocol");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<int>("size"); // -1: refused as malformed
    QTest::newRow("histogram") << 1 << QByteArray("\x01\x01", 2) << 512;
    QTest::newRow("objects") << 2 << QByteArray() << 17;
    QTest::newRow("capture time") << 5 << QByteArray("\x0a\0\0\0", 4) << 0;
    QTest::newRow("select TDCs") << 6 << QByteArray("\1\1\1\1", 4) << 0;
    QTest::newRow("target configuration") << 7 << QByteArray("\1\0\0", 3) << 0;
    QTest::newRow("serial number") << 8 << QByteArray() << 14;
    QTest::newRow("calibration") << 9 << QByteArray("\2", 1) << 14;
    QTest::newRow("temperature") << 10 << QByteArray() << 1;
    QTest::newRow("iterations") << 11 << QByteArray("\x84\x03\0", 3) << 0;
    QTest::newRow("histogram without channel") << 1 << QByteArray("\1", 1) << -1;
    QTest::newRow("histogram type 5") << 1 << QByteArray("\5\1", 2) << -1;
    QTest::newRow("histogram channel 5") << 1 << QByteArray("\1\5", 2) << -1;
    QTest::newRow("capture time short") << 5 << QByteArray("\1", 1) << -1;
    QTest::newRow("select TDCs short") << 6 << QByteArray("\1\1\1", 3) << -1;
    QTest::newRow("calibration mode 3") << 9 << QByteArray("\3", 1) << -1;
    QTest::newRow("iterations short") << 11 << QByteArray("\1\1", 2) << -1;
}

void TestSimulatedSensor::replies() {
    QFETCH(int, protocol);
    QFETCH(QByteArray, payload);
    QFETCH(int, size);
    SimulatedSensor sensor(SensorConfig(), []() { return qint64(0); });
    const SimulatedSensor::Settings before = sensor.settings();
    const QByteArray recordBefore = sensor.calibrationRecord();
    const auto reply = sensor.handle(request(static_cast<unsigned char>(protocol), payload));
    QVERIFY(reply.has_value());
    QVERIFY(!reply->protocol.has_value());
    if (size >= 0) {
        QCOMPARE(int(reply->status), 0);
        QCOMPARE(reply->payload.size(), size);
        return;
    }
    QCOMPARE(reply->status, SimulatedSensor::malformedRequestStatus);
    QCOMPARE(reply->payload.size(), 0);
    QCOMPARE(sensor.settings().captureTime, before.captureTime);
    QCOMPARE(sensor.settings().tdcSelected[0], before.tdcSelected[0]);
    QCOMPARE(sensor.settings().iterations, before.iterations);
    QCOMPARE(sensor.calibrationRecord(), recordBefore);
    // Protocols outside the sensor's set are not its business.
    QVERIFY(!sensor.handle(request(12, QByteArray())).has_value());
}

void TestSimulatedSensor::everyCommandRoundTrips() {
    BoardRig rig(QStringLiteral("chip=KEL4401,seed=3"));
    GetHistogramCommand histogram(1, 1);
    GetObjectsCommand objects;
    SetCaptureTimeCommand captureTime(20);
    SelectTDCsCommand tdcs(true, true, false, true);
    TargetConfigurationCommand target(1, 1, 2);
    GetSerialNumberCommand serial;
    GetCalibrationDataCommand calibration(2);
    GetTemperatureCommand temperature;
    SetIterationsAndObjectDetectionThresholdCommand iterations(4000, 5);
    const QList<ZyrCore::Communication::SerializableComObject*> commands = {
        &histogram, &objects,     &captureTime, &tdcs,      &target,
        &serial,    &calibration, &temperature, &iterations};
    const QList<QByteArray> requests = {QByteArray("\1\1", 2),        QByteArray(),
                                        QByteArray("\x14\0\0\0", 4),  QByteArray("\1\1\0\1", 4),
                                        QByteArray("\1\1\2", 3),      QByteArray(),
                                        QByteArray("\2", 1),          QByteArray(),
                                        QByteArray("\xa0\x0f\x05", 3)};

    for (int i = 0; i < commands.size(); ++i) {
        QCOMPARE(rig.run(*commands[i]), 0);
        QVERIFY(commands[i]->valid());
        QCOMPARE(int(commands[i]->status()), 0);
        const FirmwareRequest& seen = rig.requests.at(i);
        QCOMPARE(seen.protocol, commands[i]->protocol());
        QCOMPARE(seen.replySize, commands[i]->deserializeSize());
        QCOMPARE(seen.payload, requests[i]);
    }
    QVERIFY(histogram.traceText().contains(QStringLiteral("#DRX;GET_HISTOGRAM;")));
    QCOMPARE(serial.app0Revision(), QStringLiteral("3.0.21.0"));
    QCOMPARE(calibration.calibrationData(), hexOf(rig.sensor().calibrationRecord()));
    QCOMPARE(int(temperature.temperature()), rig.sensor().temperatureCelsius());

    const SimulatedSensor::Settings& settings = rig.sensor().settings();
    QCOMPARE(int(settings.captureTime), 20);
    QVERIFY(!settings.tdcSelected[2]);
    QVERIFY(settings.pileupCorrection);
    QCOMPARE(int(settings.operationMode), 2);
    QCOMPARE(int(settings.iterations), 4000);
    QCOMPARE(int(settings.threshold), 5);
}

void TestSimulatedSensor::identityFollowsChipModel_data() {
    QTest::addColumn<QString>("config");
    QTest::addColumn<QString>("serialNumber");
    QTest::addColumn<QString>("revision");
    QTest::addColumn<QString>("chip"); // chip id and revision
    QTest::addColumn<bool>("longRange");
    QTest::newRow("KEL4301") << "chip=KEL4301"
                             << "43-0a-0b-0c"
                             << "2.1.4.0"
                             << "43 1" << false;
    QTest::newRow("KEL4401") << "chip=KEL4401"
                             << "44-0a-0b-0c"
                             << "3.0.21.0"
                             << "44 1" << true;
    QTest::newRow("KEL4405") << "chip=KEL4405"
                             << "45-0a-0b-0c"
                             << "3.2.6.1"
                             << "44 5" << true;
    QTest::newRow("outdated firmware") << "chip=KEL4401,app0=2.0.15.1"
                                       << "44-0a-0b-0c"
                                       << "2.0.15.1"
                                       << "44 1" << false;
}

void TestSimulatedSensor::identityFollowsChipModel() {
    QFETCH(QString, config);
    QFETCH(QString, serialNumber);
    QFETCH(QString, revision);
    QFETCH(QString, chip);
    QFETCH(bool, longRange);
    BoardRig rig(config + QStringLiteral(",seed=658188")); // 0x0a0b0c
    GetSerialNumberCommand serial;
    QCOMPARE(rig.run(serial), 0);
    QCOMPARE(serial.serialNumber(), serialNumber);
    QCOMPARE(serial.app0Revision(), revision);
    QVERIFY(serial.driverRevision().startsWith(QStringLiteral("1.")));
    QCOMPARE(serial.chipId() + ' ' + serial.chipRevision(), chip);
    QCOMPARE(rig.sensor().isLongRangeFamily(), longRange);
}

void TestSimulatedSensor::histogramPeakSitsAtTargetBin_data() {
    QTest::addColumn<QString>("chip");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("targetMm");
    QTest::newRow("short range zone 1, 400 mm") << "KEL4301" << 0 << 1 << 400;
    QTest::newRow("long range zone 4, 1500 mm") << "KEL4301" << 1 << 4 << 1500;
    QTest::newRow("long range zone 2, 1000 mm, exponents") << "KEL4401" << 1 << 2 << 1000;
    QTest::newRow("processed raw, 2200 mm, exponents") << "KEL4405" << 2 << 1 << 2200;
    QTest::newRow("summed, 3000 mm") << "KEL4301" << 3 << 0 << 3000;
}

void TestSimulatedSensor::histogramPeakSitsAtTargetBin() {
    QFETCH(QString, chip);
    QFETCH(int, type);
    QFETCH(int, channel);
    QFETCH(int, targetMm);
    BoardRig rig(QStringLiteral("chip=%1,target=%2").arg(chip).arg(targetMm));
    const int expectedBin = SimulatedSensor::binOfDistance(targetMm);
    QCOMPARE(expectedBin,
             SimulatedSensor::referenceBin + targetMm / SimulatedSensor::millimetresPerBin);

    const std::vector<uint16_t> bins =
        rig.histogram(static_cast<uint8_t>(type), static_cast<uint8_t>(channel));
    // Bins 127 and 255 may hold exponents; the peak is looked for in the data bins.
    const int first = SimulatedSensor::referenceBin + 5;
    const int end = expectedBin < 127 ? 127 : 255;
    QCOMPARE(peakBin(bins, first, end), expectedBin);
    QVERIFY(bins[expectedBin] > 4 * bins[first]);
    // The reference channel shows its fixed early peak.
    QCOMPARE(peakBin(rig.histogram(1, 0)), SimulatedSensor::referenceBin);
}

void TestSimulatedSensor::settingsShapeLaterHistograms() {
    BoardRig rig(QStringLiteral("chip=KEL4301,target=1200"));
    const int bin = SimulatedSensor::binOfDistance(1200);
    SetCaptureTimeCommand shortCapture(5);
    QCOMPARE(rig.run(shortCapture), 0);
    const int small = rig.histogram(1, 1)[bin];
    SetCaptureTimeCommand longCapture(20);
    QCOMPARE(rig.run(longCapture), 0);
    const int larger = rig.histogram(1, 1)[bin];
    QVERIFY2(larger > 3 * small, qPrintable(QStringLiteral("%1 %2").arg(small).arg(larger)));
    SetIterationsAndObjectDetectionThresholdCommand fewer(80, 0);
    QCOMPARE(rig.run(fewer), 0);
    QVERIFY(rig.histogram(1, 1)[bin] * 5 < larger);

    SelectTDCsCommand tdcs(true, false, true, true);
    QCOMPARE(rig.run(tdcs), 0);
    const std::vector<uint16_t> deselected = rig.histogram(1, 2);
    QVERIFY(allZero(deselected.data(), deselected.data() + 256));
    QVERIFY(rig.histogram(1, 1)[bin] > 0);

    TargetConfigurationCommand off(0, 0, 0);
    QCOMPARE(rig.run(off), 0);
    for (uint8_t type = 0; type < 5; ++type) {
        const std::vector<uint16_t> bins = rig.histogram(type, 1);
        QVERIFY(allZero(bins.data(), bins.data() + 256));
    }
}

void TestSimulatedSensor::longRangeHistogramsCarryExponents_data() {
    QTest::addColumn<QString>("chip");
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("pileup");
    QTest::addColumn<bool>("exponents");
    QTest::newRow("long range family, processed") << "KEL4401" << 2 << false << true;
    QTest::newRow("long range family, long range") << "KEL4405" << 1 << false << true;
    QTest::newRow("long range family, pile-up on") << "KEL4401" << 2 << true << false;
    QTest::newRow("long range family, short range") << "KEL4401" << 0 << false << false;
    QTest::newRow("short range family") << "KEL4301" << 2 << false << false;
}

void TestSimulatedSensor::longRangeHistogramsCarryExponents() {
    QFETCH(QString, chip);
    QFETCH(int, type);
    QFETCH(bool, pileup);
    QFETCH(bool, exponents);
    // The target sits in the second half so that each half has its own exponent.
    BoardRig rig(QStringLiteral("chip=%1,target=2600").arg(chip));
    SetCaptureTimeCommand capture(200);
    SetIterationsAndObjectDetectionThresholdCommand iterations(4000, 0);
    TargetConfigurationCommand configuration(1, pileup ? 1 : 0, 0);
    QCOMPARE(rig.run(capture), 0);
    QCOMPARE(rig.run(iterations), 0);
    QCOMPARE(rig.run(configuration), 0);

    const std::vector<uint16_t> bins = rig.histogram(static_cast<uint8_t>(type), 1);
    if (!exponents) {
        QVERIFY(bins[127] > 4);
        QVERIFY(bins[255] > 4);
        return;
    }
    QVERIFY(bins[127] <= 4);
    QVERIFY2(bins[255] > 0 && bins[255] <= 4, "a large peak needs an exponent");
    for (int bin = 0; bin < 256; ++bin) {
        if (bin != 127 && bin != 255)
            QVERIFY(bins[bin] <= 0xFFF);
    }
    // Decoded as the application does, the peak is as large as the real signal.
    const int targetBin = SimulatedSensor::binOfDistance(2600);
    QVERIFY((uint32_t(bins[targetBin]) << bins[255]) > 0xFFF);
}

void TestSimulatedSensor::targetAndTemperatureDriftSmoothly() {
    qint64 now = 0;
    SensorConfig config;
    config.seed = 11;
    SimulatedSensor sensor(config, [&now]() { return now; });
    SimulatedSensor twin(config, [&now]() { return now; });
    config.seed = 12;
    SimulatedSensor other(config, [&now]() { return now; });

    int lowest = 100000;
    int highest = 0;
    int coolest = 1000;
    int warmest = -1000;
    int previous = sensor.targetDistanceMm();
    int previousCelsius = sensor.temperatureCelsius();
    bool differs = false;
    for (now = 0; now <= 600000; now += 100) {
        const int distance = sensor.targetDistanceMm();
        QCOMPARE(twin.targetDistanceMm(), distance);
        differs = differs || other.targetDistanceMm() != distance;
        QVERIFY2(std::abs(distance - previous) <= 30, qPrintable(QString::number(now)));
        lowest = std::min(lowest, distance);
        highest = std::max(highest, distance);
        previous = distance;
        if (now % 1000 == 0) {
            const int celsius = static_cast<int8_t>(sensor.handle(request(10, {}))->payload.at(0));
            QVERIFY(celsius >= 25 && celsius <= 40);
            QVERIFY(std::abs(celsius - previousCelsius) <= 1);
            coolest = std::min(coolest, celsius);
            warmest = std::max(warmest, celsius);
            previousCelsius = celsius;
        }
    }
    QVERIFY(differs);
    QVERIFY(lowest >= 30 && highest <= 2600);
    QVERIFY2(highest - lowest > 1000,
             qPrintable(QStringLiteral("%1..%2").arg(lowest).arg(highest)));
    QVERIFY(warmest - coolest >= 10);

    // The same seed and clock give the same bytes.
    const FirmwareRequest histogram = request(1, QByteArray("\1\1", 2));
    now = 5000;
    QCOMPARE(sensor.handle(histogram)->payload, twin.handle(histogram)->payload);
}

void TestSimulatedSensor::objectsFollowTargetAndMode() {
    GetObjectsCommand nearObjects;
    {
        BoardRig nearRig(QStringLiteral("chip=KEL4401,target=300"));
        QCOMPARE(nearRig.run(nearObjects), 0);
    }
    QCOMPARE(int(nearObjects.objectCount()), 1);
    QVERIFY(std::abs(int(nearObjects.result().distance) - 300) <= 3);
    QVERIFY(nearObjects.result().referencePhotonCount > 0);

    BoardRig farRig(QStringLiteral("chip=KEL4401,target=2000"));
    GetObjectsCommand farObjects;
    QCOMPARE(farRig.run(farObjects), 0);
    QCOMPARE(int(farObjects.objectCount()), 1);
    QVERIFY(std::abs(int(farObjects.result().distance) - 2000) <= 3);
    QVERIFY(farObjects.result().confidence < nearObjects.result().confidence);
    QVERIFY(farObjects.result().objectPhotonCount < nearObjects.result().objectPhotonCount);

    // The proximity mode sees only close objects; a high threshold suppresses weak ones.
    TargetConfigurationCommand proximity(1, 0, 1);
    GetObjectsCommand outOfRange;
    QCOMPARE(farRig.run(proximity), 0);
    QCOMPARE(farRig.run(outOfRange), 0);
    QCOMPARE(int(outOfRange.objectCount()), 0);
    TargetConfigurationCommand distanceMode(1, 0, 2);
    SetIterationsAndObjectDetectionThresholdCommand threshold(900, 60);
    GetObjectsCommand belowThreshold;
    QCOMPARE(farRig.run(distanceMode), 0);
    QCOMPARE(farRig.run(threshold), 0);
    QCOMPARE(farRig.run(belowThreshold), 0);
    QCOMPARE(int(belowThreshold.objectCount()), 0);
}

// The only test that waits for the simulated calibration in real time.
void TestSimulatedSensor::calibrationNeedsTheLongReadTimeout() {
    BoardRig rig(QStringLiteral("seed=5"));
    const QByteArray before = rig.sensor().calibrationRecord();
    rig.driver.setReadTimeout(1500);
    QElapsedTimer clock;
    clock.start();
    GetCalibrationDataCommand late(0);
    rig.stream.execute(&late);
    QCOMPARE(rig.stream.lastError(), -3);
    QVERIFY(clock.elapsed() < 2500);
    QVERIFY(!late.valid());
    QCOMPARE(int(late.status()), 1);
    GetTemperatureCommand temperature;
    QCOMPARE(rig.run(temperature), 0);
    QVERIFY(temperature.valid());

    rig.driver.setReadTimeout(8000);
    GetCalibrationDataCommand fresh(0);
    QCOMPARE(rig.run(fresh), 0);
    QVERIFY(fresh.valid());
    const QByteArray record = rig.sensor().calibrationRecord();
    QCOMPARE(record.size(), 14);
    QVERIFY(record != before);
    QCOMPARE(fresh.calibrationData(), hexOf(record));
    GetCalibrationDataCommand read(2);
    QCOMPARE(rig.run(read), 0);
    QCOMPARE(read.calibrationData(), fresh.calibrationData());
    GetCalibrationDataCommand clear(1);
    QCOMPARE(rig.run(clear), 0);
    QCOMPARE(clear.calibrationData(), hexOf(QByteArray(14, '\0')));
}

void TestSimulatedSensor::faultsReachTheCommands() {
    {
        BoardRig failing(QStringLiteral("deviceStatus=7"));
        SetCaptureTimeCommand capture(30);
        QCOMPARE(failing.run(capture), 0);
        QVERIFY(capture.valid());
        QCOMPARE(int(capture.status()), 7);
    }
    BoardRig rig(QStringLiteral("badHistogram=1,shortObjects=1"));
    GetHistogramCommand histogram(1, 1);
    QCOMPARE(rig.run(histogram), -4);
    QVERIFY(!histogram.valid());
    QCOMPARE(int(histogram.status()), 1);
    QVERIFY(allZero(histogram.data(), histogram.data() + 256));
    QVERIFY(histogram.traceText().endsWith(
        QStringLiteral("#DRX;GET_HISTOGRAM;Wrong response size. Not deserialized.")));
    GetObjectsCommand objects;
    QCOMPARE(rig.run(objects), -4);
    QVERIFY(!objects.valid());
    QCOMPARE(int(objects.objectCount()), 0);
    // The faults leave the other commands alone.
    GetTemperatureCommand temperature;
    QCOMPARE(rig.run(temperature), 0);
}

ZYR_TEST_CLASS(TestSimulatedSensor)

#include "tst_simulatedsensor.moc"
