#include "simulatedsensortest.h"

#include "Communication/comstream.h"
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
#include "firmwarefakedriver.h"
#include "firmwaretable.h"
#include "sensorconfig.h"
#include "simulatedsensor.h"

#include <QtTest>

#include <algorithm>
#include <memory>

using ZyrCore::Communication::ComStream;
using ZyrCore::Communication::IComObject;
using ZyrSim::FirmwareRequest;
using ZyrSim::SensorConfig;
using ZyrSim::SimulatedSensor;
using ZyrTest::FirmwareFakeDriver;

namespace {

// A sensor on a firmware table behind a stream, with a clock the test moves.
struct Rig {
    explicit Rig(const QString& configText = QString()) {
        SensorConfig config;
        if (!config.parse(configText))
            qFatal("bad sensor configuration in a test: %s", qPrintable(configText));
        sensor = std::make_unique<SimulatedSensor>(config, [this]() { return nowMs; });
        sensor->install(table);
        stream.open();
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

    qint64 nowMs = 0;
    ZyrSim::FirmwareTable table;
    std::unique_ptr<SimulatedSensor> sensor;
    FirmwareFakeDriver driver{table};
    ComStream stream{&driver, ComStream::theImmediateFlushPolicy};
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

} // namespace

void SimulatedSensorTest::configParsesPairs_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("chip");
    QTest::addColumn<uint>("seed");
    QTest::addColumn<QString>("revision");
    QTest::addColumn<int>("target");
    QTest::addColumn<bool>("badHistogram");
    QTest::addColumn<bool>("shortObjects");
    QTest::addColumn<int>("deviceStatus");

    QTest::newRow("empty") << ""
                           << "KEL4401" << 1u << "3.0.21.0" << 0 << false << false << 0;
    QTest::newRow("spaces") << "chip=KEL4301 seed=42"
                            << "KEL4301" << 42u << "2.1.4.0" << 0 << false << false << 0;
    QTest::newRow("semicolons and commas")
        << "chip=kel4405;app0=2.0.15.1, target=1200"
        << "KEL4405" << 1u << "2.0.15.1" << 1200 << false << false << 0;
    QTest::newRow("faults") << "badHistogram=1 shortObjects=true deviceStatus=0x05"
                            << "KEL4401" << 1u << "3.0.21.0" << 0 << true << true << 5;
    QTest::newRow("largest seed") << "seed=4294967295"
                                  << "KEL4401" << 4294967295u << "3.0.21.0" << 0 << false << false
                                  << 0;
}

void SimulatedSensorTest::configParsesPairs() {
    QFETCH(QString, text);
    QFETCH(QString, chip);
    QFETCH(uint, seed);
    QFETCH(QString, revision);
    QFETCH(int, target);
    QFETCH(bool, badHistogram);
    QFETCH(bool, shortObjects);
    QFETCH(int, deviceStatus);

    SensorConfig config;
    QVERIFY(config.parse(text));
    QCOMPARE(SensorConfig::chipModelName(config.chipModel), chip);
    QCOMPARE(config.seed, seed);
    QCOMPARE(config.effectiveApp0Revision(), revision);
    QCOMPARE(config.targetMm, target);
    QCOMPARE(config.badHistogram, badHistogram);
    QCOMPARE(config.shortObjects, shortObjects);
    QCOMPARE(int(config.deviceStatus), deviceStatus);
}

void SimulatedSensorTest::configRefusesBadText_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("unknown key") << "chip=KEL4301 colour=red";
    QTest::newRow("unknown chip") << "chip=KEL9999";
    QTest::newRow("no equals sign") << "seed=3 KEL4301";
    QTest::newRow("empty key") << "=5";
    QTest::newRow("negative seed") << "seed=-1";
    QTest::newRow("seed too large") << "seed=4294967296";
    QTest::newRow("three-part revision") << "app0=2.0.15";
    QTest::newRow("revision byte too large") << "app0=2.0.256.1";
    QTest::newRow("revision with letters") << "app0=2.x.1.1";
    QTest::newRow("target too far") << "target=5001";
    QTest::newRow("bad flag") << "badHistogram=maybe";
    QTest::newRow("status too large") << "deviceStatus=256";
}

void SimulatedSensorTest::configRefusesBadText() {
    QFETCH(QString, text);
    SensorConfig config;
    config.seed = 77;
    config.chipModel = SensorConfig::ChipModel::Kel4405;
    QVERIFY(!config.parse(QStringLiteral("seed=5 ") + text));
    QCOMPARE(config.seed, 77u);
    QVERIFY(config.chipModel == SensorConfig::ChipModel::Kel4405);
    QCOMPARE(config.app0Revision, QString());
    QCOMPARE(config.targetMm, 0);
    QVERIFY(!config.badHistogram);
    QCOMPARE(int(config.deviceStatus), 0);
}

void SimulatedSensorTest::configTextRoundTrips() {
    SensorConfig config;
    QVERIFY(config.parse(QStringLiteral(
        "chip=KEL4301 seed=9 app0=2.0.15.1 target=800 shortObjects=1 deviceStatus=3")));
    SensorConfig again;
    QVERIFY(again.parse(config.toText()));
    QCOMPARE(again.toText(), config.toText());
    QVERIFY(again.chipModel == SensorConfig::ChipModel::Kel4301);
    QCOMPARE(again.seed, 9u);
    QCOMPARE(again.app0Revision, QStringLiteral("2.0.15.1"));
    QCOMPARE(again.targetMm, 800);
    QVERIFY(again.shortObjects);
    QVERIFY(!again.badHistogram);
    QCOMPARE(int(again.deviceStatus), 3);
}

void SimulatedSensorTest::replySizes_data() {
    QTest::addColumn<int>("protocol");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<int>("size");
    QTest::newRow("histogram") << 1 << QByteArray("\x01\x01", 2) << 512;
    QTest::newRow("objects") << 2 << QByteArray() << 17;
    QTest::newRow("capture time") << 5 << QByteArray("\x0a\0\0\0", 4) << 0;
    QTest::newRow("select TDCs") << 6 << QByteArray("\1\1\1\1", 4) << 0;
    QTest::newRow("target configuration") << 7 << QByteArray("\1\0\0", 3) << 0;
    QTest::newRow("serial number") << 8 << QByteArray() << 14;
    QTest::newRow("calibration") << 9 << QByteArray("\2", 1) << 14;
    QTest::newRow("temperature") << 10 << QByteArray() << 1;
    QTest::newRow("iterations") << 11 << QByteArray("\x84\x03\0", 3) << 0;
}

void SimulatedSensorTest::replySizes() {
    QFETCH(int, protocol);
    QFETCH(QByteArray, payload);
    QFETCH(int, size);
    SimulatedSensor sensor(SensorConfig(), []() { return qint64(0); });
    const auto reply = sensor.handle(request(static_cast<unsigned char>(protocol), payload));
    QVERIFY(reply.has_value());
    QCOMPARE(int(reply->status), 0);
    QCOMPARE(reply->payload.size(), size);
    QVERIFY(!reply->protocol.has_value());

    ZyrSim::FirmwareTable table;
    sensor.install(table);
    QVERIFY(table.hasHandler(static_cast<unsigned char>(protocol)));
}

void SimulatedSensorTest::malformedRequests_data() {
    QTest::addColumn<int>("protocol");
    QTest::addColumn<QByteArray>("payload");
    QTest::newRow("histogram without channel") << 1 << QByteArray("\1", 1);
    QTest::newRow("histogram type 5") << 1 << QByteArray("\5\1", 2);
    QTest::newRow("histogram channel 5") << 1 << QByteArray("\1\5", 2);
    QTest::newRow("capture time short") << 5 << QByteArray("\1", 1);
    QTest::newRow("select TDCs short") << 6 << QByteArray("\1\1\1", 3);
    QTest::newRow("target configuration short") << 7 << QByteArray("\1\1", 2);
    QTest::newRow("calibration empty") << 9 << QByteArray();
    QTest::newRow("calibration mode 3") << 9 << QByteArray("\3", 1);
    QTest::newRow("iterations short") << 11 << QByteArray("\1\1", 2);
}

void SimulatedSensorTest::malformedRequests() {
    QFETCH(int, protocol);
    QFETCH(QByteArray, payload);
    SimulatedSensor sensor(SensorConfig(), []() { return qint64(0); });
    const SimulatedSensor::Settings before = sensor.settings();
    const QByteArray recordBefore = sensor.calibrationRecord();
    const auto reply = sensor.handle(request(static_cast<unsigned char>(protocol), payload));
    QVERIFY(reply.has_value());
    QCOMPARE(reply->status, SimulatedSensor::malformedRequestStatus);
    QCOMPARE(reply->payload.size(), 0);
    QCOMPARE(sensor.settings().captureTime, before.captureTime);
    QCOMPARE(sensor.settings().tdcSelected[0], before.tdcSelected[0]);
    QCOMPARE(sensor.settings().operationMode, before.operationMode);
    QCOMPARE(sensor.settings().iterations, before.iterations);
    QCOMPARE(sensor.calibrationRecord(), recordBefore);

    // Protocols outside the sensor's set are not its business.
    QVERIFY(!sensor.handle(request(3, QByteArray())).has_value());
    QVERIFY(!sensor.handle(request(12, QByteArray())).has_value());
}

void SimulatedSensorTest::everyCommandRoundTripsThroughStream() {
    Rig rig(QStringLiteral("chip=KEL4401 seed=3"));
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
        const FirmwareRequest& seen = rig.driver.requests().at(i);
        QCOMPARE(seen.protocol, commands[i]->protocol());
        QVERIFY(!seen.fireAndForget);
        QCOMPARE(seen.replySize, commands[i]->deserializeSize());
        QCOMPARE(seen.payload, requests[i]);
    }
    QVERIFY(histogram.traceText().contains(QStringLiteral("#DRX;GET_HISTOGRAM;")));
    QCOMPARE(serial.app0Revision(), QStringLiteral("3.0.21.0"));
    QCOMPARE(calibration.calibrationData(),
             bytesToHexText(
                 reinterpret_cast<const uint8_t*>(rig.sensor->calibrationRecord().constData()), 14)
                 .toUpper());
    QCOMPARE(int(temperature.temperature()), rig.sensor->temperatureCelsius());

    QCOMPARE(int(rig.sensor->settings().captureTime), 20);
    QVERIFY(!rig.sensor->settings().tdcSelected[2]);
    QVERIFY(rig.sensor->settings().pileupCorrection);
    QCOMPARE(int(rig.sensor->settings().operationMode), 2);
    QCOMPARE(int(rig.sensor->settings().iterations), 4000);
    QCOMPARE(int(rig.sensor->settings().threshold), 5);
}

void SimulatedSensorTest::identityFollowsChipModel_data() {
    QTest::addColumn<QString>("config");
    QTest::addColumn<QString>("serialPrefix");
    QTest::addColumn<QString>("revision");
    QTest::addColumn<QString>("chipId");
    QTest::addColumn<QString>("chipRevision");
    QTest::addColumn<bool>("longRange");
    QTest::newRow("KEL4301") << "chip=KEL4301 seed=0x0a0b0c"
                             << "43-0a-0b-0c"
                             << "2.1.4.0"
                             << "43"
                             << "1" << false;
    QTest::newRow("KEL4401") << "chip=KEL4401 seed=0x0a0b0c"
                             << "44-0a-0b-0c"
                             << "3.0.21.0"
                             << "44"
                             << "1" << true;
    QTest::newRow("KEL4405") << "chip=KEL4405 seed=0x0a0b0c"
                             << "45-0a-0b-0c"
                             << "3.2.6.1"
                             << "44"
                             << "5" << true;
    QTest::newRow("outdated firmware") << "chip=KEL4401 seed=0x0a0b0c app0=2.0.15.1"
                                       << "44-0a-0b-0c"
                                       << "2.0.15.1"
                                       << "44"
                                       << "1" << false;
    QTest::newRow("revision text starting with 2") << "chip=KEL4401 seed=0x0a0b0c app0=20.1.0.0"
                                                   << "44-0a-0b-0c"
                                                   << "20.1.0.0"
                                                   << "44"
                                                   << "1" << false;
}

void SimulatedSensorTest::identityFollowsChipModel() {
    QFETCH(QString, config);
    QFETCH(QString, serialPrefix);
    QFETCH(QString, revision);
    QFETCH(QString, chipId);
    QFETCH(QString, chipRevision);
    QFETCH(bool, longRange);
    Rig rig(config);
    GetSerialNumberCommand serial;
    QCOMPARE(rig.run(serial), 0);
    QCOMPARE(serial.serialNumber(), serialPrefix);
    QCOMPARE(serial.app0Revision(), revision);
    QVERIFY(serial.driverRevision().startsWith(QStringLiteral("1.")));
    QCOMPARE(serial.chipId(), chipId);
    QCOMPARE(serial.chipRevision(), chipRevision);
    QCOMPARE(rig.sensor->isLongRangeFamily(), longRange);
}

void SimulatedSensorTest::histogramPeakSitsAtTargetBin_data() {
    QTest::addColumn<QString>("config");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("targetMm");
    QTest::newRow("short range zone 1, 400 mm") << "chip=KEL4301" << 0 << 1 << 400;
    QTest::newRow("long range zone 4, 1500 mm") << "chip=KEL4301" << 1 << 4 << 1500;
    QTest::newRow("long range zone 2, 1000 mm, exponents") << "chip=KEL4401" << 1 << 2 << 1000;
    QTest::newRow("processed raw, 2200 mm, exponents") << "chip=KEL4405" << 2 << 1 << 2200;
    QTest::newRow("processed peaks, 700 mm") << "chip=KEL4301" << 2 << 2 << 700;
    QTest::newRow("summed, 3000 mm") << "chip=KEL4301" << 3 << 0 << 3000;
}

void SimulatedSensorTest::histogramPeakSitsAtTargetBin() {
    QFETCH(QString, config);
    QFETCH(int, type);
    QFETCH(int, channel);
    QFETCH(int, targetMm);
    Rig rig(config + QStringLiteral(" target=") + QString::number(targetMm));
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
}

void SimulatedSensorTest::referenceChannelPeaksEarly() {
    Rig rig(QStringLiteral("chip=KEL4301 target=2000"));
    for (uint8_t type : {0, 1}) {
        const std::vector<uint16_t> bins = rig.histogram(type, 0);
        QCOMPARE(peakBin(bins), SimulatedSensor::referenceBin);
    }
    rig.nowMs = 40000;
    QCOMPARE(peakBin(rig.histogram(1, 0)), SimulatedSensor::referenceBin);
}

void SimulatedSensorTest::peakGrowsWithCaptureTimeAndIterations() {
    Rig rig(QStringLiteral("chip=KEL4301 target=1200"));
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
    const int fewerIterations = rig.histogram(1, 1)[bin];
    QVERIFY(fewerIterations * 5 < larger);
}

void SimulatedSensorTest::tdcSelectionAndHistogramSwitchShapeReplies() {
    Rig rig(QStringLiteral("chip=KEL4301 target=900"));
    SelectTDCsCommand tdcs(true, false, true, true);
    QCOMPARE(rig.run(tdcs), 0);
    const std::vector<uint16_t> deselected = rig.histogram(1, 2);
    QVERIFY(std::all_of(deselected.begin(), deselected.end(), [](uint16_t v) { return v == 0; }));
    QVERIFY(rig.histogram(1, 1)[SimulatedSensor::binOfDistance(900)] > 0);

    TargetConfigurationCommand off(0, 0, 0);
    QCOMPARE(rig.run(off), 0);
    for (uint8_t type = 0; type < 5; ++type) {
        const std::vector<uint16_t> bins = rig.histogram(type, 1);
        QVERIFY(std::all_of(bins.begin(), bins.end(), [](uint16_t v) { return v == 0; }));
    }
    TargetConfigurationCommand on(1, 0, 0);
    QCOMPARE(rig.run(on), 0);
    QVERIFY(rig.histogram(1, 1)[SimulatedSensor::binOfDistance(900)] > 0);
}

void SimulatedSensorTest::longRangeHistogramsCarryExponents_data() {
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

void SimulatedSensorTest::longRangeHistogramsCarryExponents() {
    QFETCH(QString, chip);
    QFETCH(int, type);
    QFETCH(bool, pileup);
    QFETCH(bool, exponents);
    // The target sits in the second half so that each half has its own exponent.
    Rig rig(QStringLiteral("chip=") + chip + QStringLiteral(" target=2600"));
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
    QVERIFY(bins[255] <= 4);
    QVERIFY2(bins[255] > 0, "a large peak needs an exponent");
    const int targetBin = SimulatedSensor::binOfDistance(2600);
    QVERIFY(targetBin > 127 && targetBin < 255);
    for (int bin = 0; bin < 256; ++bin) {
        if (bin != 127 && bin != 255)
            QVERIFY(bins[bin] <= 0xFFF);
    }
    // Decoded as the application does, the peak is as large as the real signal.
    const uint32_t decoded = uint32_t(bins[targetBin]) << bins[255];
    QVERIFY(decoded > 0xFFF);
}

void SimulatedSensorTest::targetMovesSmoothlyAndReproducibly() {
    qint64 now = 0;
    SensorConfig config;
    config.seed = 11;
    SimulatedSensor sensor(config, [&now]() { return now; });
    SimulatedSensor twin(config, [&now]() { return now; });
    config.seed = 12;
    SimulatedSensor other(config, [&now]() { return now; });

    int lowest = 100000;
    int highest = 0;
    int previous = sensor.targetDistanceMm();
    bool differs = false;
    for (now = 0; now <= 180000; now += 100) {
        const int distance = sensor.targetDistanceMm();
        QCOMPARE(twin.targetDistanceMm(), distance);
        differs = differs || other.targetDistanceMm() != distance;
        QVERIFY2(std::abs(distance - previous) <= 30, qPrintable(QString::number(now)));
        lowest = std::min(lowest, distance);
        highest = std::max(highest, distance);
        previous = distance;
    }
    QVERIFY(differs);
    QVERIFY(lowest >= 30);
    QVERIFY(highest <= 2600);
    QVERIFY2(highest - lowest > 1000,
             qPrintable(QStringLiteral("%1..%2").arg(lowest).arg(highest)));

    // The same seed and clock give the same bytes.
    const FirmwareRequest histogram = request(1, QByteArray("\1\1", 2));
    now = 5000;
    QCOMPARE(sensor.handle(histogram)->payload, twin.handle(histogram)->payload);
}

void SimulatedSensorTest::temperatureDriftsWithinRange() {
    qint64 now = 0;
    SimulatedSensor sensor(SensorConfig(), [&now]() { return now; });
    int lowest = 1000;
    int highest = -1000;
    int previous = sensor.temperatureCelsius();
    for (now = 0; now <= 600000; now += 1000) {
        const auto reply = sensor.handle(request(10, QByteArray()));
        const int celsius = static_cast<int8_t>(reply->payload.at(0));
        QVERIFY(celsius >= 25 && celsius <= 40);
        QVERIFY(std::abs(celsius - previous) <= 1);
        lowest = std::min(lowest, celsius);
        highest = std::max(highest, celsius);
        previous = celsius;
    }
    QVERIFY(highest - lowest >= 10);
}

void SimulatedSensorTest::objectsFollowTargetAndMode() {
    Rig nearRig(QStringLiteral("chip=KEL4401 target=300"));
    GetObjectsCommand nearObjects;
    QCOMPARE(nearRig.run(nearObjects), 0);
    QCOMPARE(int(nearObjects.objectCount()), 1);
    QVERIFY(std::abs(int(nearObjects.result().distance) - 300) <= 3);
    QVERIFY(nearObjects.result().objectPhotonCount > 0);
    QVERIFY(nearObjects.result().referencePhotonCount > 0);

    Rig farRig(QStringLiteral("chip=KEL4401 target=2000"));
    GetObjectsCommand farObjects;
    QCOMPARE(farRig.run(farObjects), 0);
    QCOMPARE(int(farObjects.objectCount()), 1);
    QVERIFY(std::abs(int(farObjects.result().distance) - 2000) <= 3);
    QVERIFY(farObjects.result().confidence <= 63);
    QVERIFY(farObjects.result().confidence < nearObjects.result().confidence);
    QVERIFY(farObjects.result().objectPhotonCount < nearObjects.result().objectPhotonCount);

    // The proximity mode sees only close objects; a high threshold suppresses weak ones.
    TargetConfigurationCommand proximity(1, 0, 1);
    QCOMPARE(farRig.run(proximity), 0);
    GetObjectsCommand outOfRange;
    QCOMPARE(farRig.run(outOfRange), 0);
    QCOMPARE(int(outOfRange.objectCount()), 0);

    TargetConfigurationCommand distanceMode(1, 0, 2);
    SetIterationsAndObjectDetectionThresholdCommand threshold(900, 60);
    QCOMPARE(farRig.run(distanceMode), 0);
    QCOMPARE(farRig.run(threshold), 0);
    GetObjectsCommand belowThreshold;
    QCOMPARE(farRig.run(belowThreshold), 0);
    QCOMPARE(int(belowThreshold.objectCount()), 0);

    // Beyond the short-range family's reach.
    Rig shortRig(QStringLiteral("chip=KEL4301 target=2000"));
    GetObjectsCommand shortObjects;
    QCOMPARE(shortRig.run(shortObjects), 0);
    QCOMPARE(int(shortObjects.objectCount()), 0);
}

void SimulatedSensorTest::calibrationTimesOutWithShortReadTimeout() {
    Rig rig;
    const QByteArray before = rig.sensor->calibrationRecord();
    GetCalibrationDataCommand calibration(0);
    rig.driver.setReadTimeout(1500);
    rig.stream.execute(&calibration);
    QCOMPARE(rig.stream.lastError(), -3);
    QCOMPARE(rig.stream.lastError(), 0);
    QVERIFY(!calibration.valid());
    QCOMPARE(int(calibration.status()), 1);
    QCOMPARE(calibration.calibrationData(), QString());
    // The sensor did calibrate; only the answer came too late.
    QVERIFY(rig.sensor->calibrationRecord() != before);

    GetTemperatureCommand temperature;
    QCOMPARE(rig.run(temperature), 0);
    QVERIFY(temperature.valid());
    QCOMPARE(int(temperature.temperature()), rig.sensor->temperatureCelsius());
}

void SimulatedSensorTest::calibrationNewClearAndRead() {
    Rig rig(QStringLiteral("seed=5"));
    const auto hexOf = [](const QByteArray& record) {
        return bytesToHexText(reinterpret_cast<const uint8_t*>(record.constData()), record.size())
            .toUpper();
    };
    rig.driver.setReadTimeout(8000);

    GetCalibrationDataCommand fresh(0);
    QCOMPARE(rig.run(fresh), 0);
    QVERIFY(fresh.valid());
    QCOMPARE(rig.driver.waitedMs(), SimulatedSensor::newCalibrationDelayMs);
    const QByteArray record = rig.sensor->calibrationRecord();
    QCOMPARE(record.size(), 14);
    QCOMPARE(fresh.calibrationData(), hexOf(record));

    GetCalibrationDataCommand read(2);
    QCOMPARE(rig.run(read), 0);
    QCOMPARE(read.calibrationData(), fresh.calibrationData());

    GetCalibrationDataCommand clear(1);
    QCOMPARE(rig.run(clear), 0);
    QCOMPARE(clear.calibrationData(), hexOf(QByteArray(14, '\0')));
    GetCalibrationDataCommand readCleared(2);
    QCOMPARE(rig.run(readCleared), 0);
    QCOMPARE(readCleared.calibrationData(), hexOf(QByteArray(14, '\0')));

    GetCalibrationDataCommand another(0);
    QCOMPARE(rig.run(another), 0);
    QVERIFY(another.calibrationData() != clear.calibrationData());
    QVERIFY(another.calibrationData() != fresh.calibrationData());
}

void SimulatedSensorTest::faultsAreRefusedByTheCommands() {
    Rig rig(QStringLiteral("badHistogram=1 shortObjects=1"));
    GetHistogramCommand histogram(1, 1);
    rig.stream.execute(&histogram);
    QCOMPARE(rig.stream.lastError(), -4);
    QVERIFY(!histogram.valid());
    QCOMPARE(int(histogram.status()), 1);
    QVERIFY(
        std::all_of(histogram.data(), histogram.data() + 256, [](uint16_t v) { return v == 0; }));
    QVERIFY(histogram.traceText().endsWith(
        QStringLiteral("#DRX;GET_HISTOGRAM;Wrong response size. Not deserialized.")));

    GetObjectsCommand objects;
    rig.stream.execute(&objects);
    QCOMPARE(rig.stream.lastError(), -4);
    QVERIFY(!objects.valid());
    QCOMPARE(int(objects.status()), 1);
    QCOMPARE(int(objects.objectCount()), 0);

    // The faults leave the other commands alone.
    GetTemperatureCommand temperature;
    QCOMPARE(rig.run(temperature), 0);
    QVERIFY(temperature.valid());
}

void SimulatedSensorTest::deviceStatusFaultReachesEveryCommand() {
    Rig rig(QStringLiteral("deviceStatus=7"));
    GetHistogramCommand histogram(0, 1);
    GetSerialNumberCommand serial;
    SetCaptureTimeCommand capture(30);
    for (IComObject* command : QList<IComObject*>{&histogram, &serial, &capture}) {
        QCOMPARE(rig.run(*command), 0);
        QVERIFY(command->valid());
        QCOMPARE(int(command->status()), 7);
    }
    QCOMPARE(int(rig.sensor->settings().captureTime), 30);
}
