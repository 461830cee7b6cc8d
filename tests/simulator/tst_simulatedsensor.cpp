#include "boardrig.h"
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

#include <QtTest>

#include <algorithm>
#include <iterator>

using ZyrSim::FirmwareRequest;
using ZyrSim::SimulatedSensor;

namespace {

QString hexOf(const QByteArray& record) {
    return bytesToHexText(reinterpret_cast<const uint8_t*>(record.constData()), record.size())
        .toUpper();
}

using Bins = QList<int>; // a failed comparison names the first bin that differs

// One histogram of a long-range chip at a fixed target, pile-up correction on or off. Equal
// seeds and equal requests give equal noise, so two runs differ only where the setting acts.
Bins longRangeHistogram(bool pileupCorrection, uint8_t type, uint8_t channel) {
    BoardRig rig(QStringLiteral("chip=KEL4401,seed=11,target=1200"));
    TargetConfigurationCommand target(1, pileupCorrection ? 1 : 0, 0);
    GetHistogramCommand histogram(type, channel);
    if (rig.run(target) != 0 ||
        rig.board->sensor().settings().pileupCorrection != pileupCorrection ||
        rig.run(histogram) != 0)
        return Bins();
    Bins bins;
    std::copy(histogram.data(), histogram.data() + GetHistogramCommand::binCount,
              std::back_inserter(bins));
    return bins;
}

} // namespace

class TestSimulatedSensor : public QObject {
    Q_OBJECT

private slots:
    void everyCommandRoundTrips();
    void identityFollowsChipModel_data();
    void identityFollowsChipModel();
    void calibrationNeedsTheLongReadTimeout();
    void faultsReachTheCommands();
    void exponentsOnlyInProcessedHistograms_data();
    void exponentsOnlyInProcessedHistograms();
};

void TestSimulatedSensor::everyCommandRoundTrips() {
    BoardRig rig(QStringLiteral("chip=KEL4401,seed=3,target=1200"));
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
    // The target within 3 mm of noise; confidence 63 falls to 0 at 1.25 times the 2500 mm range.
    QCOMPARE(int(objects.objectCount()), 1);
    QVERIFY2(qAbs(objects.result().distance - 1200) <= 3,
             qPrintable(QString::number(objects.result().distance)));
    QCOMPARE(int(objects.result().confidence), 63 - 63 * 1200 / 3125);
    QCOMPARE(calibration.calibrationData(), hexOf(rig.board->sensor().calibrationRecord()));
    QCOMPARE(int(temperature.temperature()), rig.board->sensor().temperatureCelsius());

    const SimulatedSensor::Settings& settings = rig.board->sensor().settings();
    QCOMPARE(int(settings.captureTime), 20);
    QVERIFY(!settings.tdcSelected[2]);
    QVERIFY(settings.pileupCorrection);
    QCOMPARE(int(settings.operationMode), 2);
    QCOMPARE(int(settings.iterations), 4000);
    QCOMPARE(int(settings.threshold), 5);
}

// Each row is named by the simulator configuration it runs.
void TestSimulatedSensor::identityFollowsChipModel_data() {
    QTest::addColumn<QString>("identity"); // serial number, revision, chip id and revision
    QTest::addColumn<bool>("longRange");
    QTest::newRow("chip=KEL4301") << "43-0a-0b-0c 2.1.4.0 43 1" << false;
    QTest::newRow("chip=KEL4401") << "44-0a-0b-0c 3.0.21.0 44 1" << true;
    QTest::newRow("chip=KEL4405") << "45-0a-0b-0c 3.2.6.1 44 5" << true;
    QTest::newRow("chip=KEL4401,app0=2.0.15.1") << "44-0a-0b-0c 2.0.15.1 44 1" << false;
}

void TestSimulatedSensor::identityFollowsChipModel() {
    BoardRig rig(QTest::currentDataTag() + QStringLiteral(",seed=658188")); // 0x0a0b0c
    GetSerialNumberCommand serial;
    QCOMPARE(rig.run(serial), 0);
    const QStringList identity = {serial.serialNumber(), serial.app0Revision(), serial.chipId(),
                                  serial.chipRevision()};
    QTEST(identity.join(' '), "identity");
    QVERIFY(serial.driverRevision().startsWith(QStringLiteral("1.")));
    QTEST(rig.board->sensor().isLongRangeFamily(), "longRange");
}

// The only test that waits for the simulated calibration in real time.
void TestSimulatedSensor::calibrationNeedsTheLongReadTimeout() {
    BoardRig rig(QStringLiteral("seed=5"));
    const QByteArray before = rig.board->sensor().calibrationRecord();
    rig.driver.setReadTimeout(1500);
    GetCalibrationDataCommand late(0);
    rig.stream.execute(&late);
    // Timed out and without a reply: the read gave up before the calibration ended.
    QCOMPARE(rig.stream.lastError(), -3);
    QVERIFY(!late.valid());
    QCOMPARE(int(late.status()), 1);
    // The next exchange waits behind the late calibration, so it gets the long time-out too.
    rig.driver.setReadTimeout(8000);
    GetTemperatureCommand temperature;
    QCOMPARE(rig.run(temperature), 0);
    QVERIFY(temperature.valid());

    GetCalibrationDataCommand fresh(0);
    QCOMPARE(rig.run(fresh), 0);
    QVERIFY(fresh.valid());
    const QByteArray record = rig.board->sensor().calibrationRecord();
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
    QVERIFY(
        std::all_of(histogram.data(), histogram.data() + 256, [](uint16_t v) { return v == 0; }));
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

void TestSimulatedSensor::exponentsOnlyInProcessedHistograms_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("channel");
    QTest::addColumn<bool>("exponents");
    // Channels whose bins 127 and 255 hold counts of their own.
    QTest::newRow("short range") << 0 << 1 << false;
    QTest::newRow("long range") << 1 << 1 << false;
    QTest::newRow("processed") << 2 << 1 << true;
    QTest::newRow("summed zones") << 3 << 0 << false;
    QTest::newRow("calibration") << 4 << 1 << false;
}

// Without pile-up correction a long-range chip puts the exponent of each half into bins 127
// and 255 of the processed histogram only; every other type comes as it is with correction.
void TestSimulatedSensor::exponentsOnlyInProcessedHistograms() {
    QFETCH(int, type);
    QFETCH(int, channel);
    QFETCH(bool, exponents);
    const Bins corrected = longRangeHistogram(true, uint8_t(type), uint8_t(channel));
    Bins expected = corrected;
    QCOMPARE(corrected.size(), GetHistogramCommand::binCount);
    QVERIFY(corrected[127] != 0 && corrected[255] != 0);
    if (exponents) {
        // The target's peak stays below 12 bits here, so both exponents are 0.
        QVERIFY(*std::max_element(corrected.cbegin(), corrected.cend()) <= 0xFFF);
        expected[127] = 0;
        expected[255] = 0;
    }
    QCOMPARE(longRangeHistogram(false, uint8_t(type), uint8_t(channel)), expected);
}

ZYR_TEST_CLASS(TestSimulatedSensor)

#include "tst_simulatedsensor.moc"
