#include "simulatedboard.h"
#include "simulatorconfig.h"

#include <QtTest>

using namespace ZyrSim;

namespace {

// One host output report: report id 0, counter, count, status 0, payload, zero padding.
QByteArray hostReport(unsigned char counter, const QByteArray& payload, int count = -1) {
    QByteArray report(65, '\0');
    report[1] = char(counter);
    report[2] = char(count < 0 ? payload.size() : count);
    for (int i = 0; i < payload.size() && i < 61; ++i)
        report[4 + i] = payload[i];
    return report;
}

QByteArray requestFrame(unsigned char protocolByte, const QByteArray& payload,
                        unsigned int replySize) {
    QByteArray frame;
    frame.append(char(protocolByte));
    frame.append(char(payload.size() >> 8));
    frame.append(char(payload.size() & 0xFF));
    frame.append(char(replySize >> 8));
    frame.append(char(replySize & 0xFF));
    return frame + payload;
}

bool send(SimulatedHidInterface& hid, SimulatedHidInterface::Session session,
          const QByteArray& report) {
    return hid.hostWrite(session, reinterpret_cast<const unsigned char*>(report.constData()),
                         unsigned(report.size())) == SimulatedHidInterface::Transfer::Done;
}

QList<QByteArray> receiveAll(SimulatedHidInterface& hid, SimulatedHidInterface::Session session) {
    QList<QByteArray> reports;
    while (hid.pendingReports() > 0) {
        unsigned char report[65];
        unsigned int length = 0;
        if (hid.hostRead(session, report, sizeof report, 10, &length) !=
            SimulatedHidInterface::Transfer::Done)
            break;
        reports.append(QByteArray(reinterpret_cast<const char*>(report), int(length)));
    }
    return reports;
}

} // namespace

class TestSimulator : public QObject {
    Q_OBJECT

private slots:
    void configParses_data();
    void configParses();
    void configSeedDrivesSensor();
    void configRefuses_data();
    void configRefuses();
    void firmwareNumberReply();
    void longReplyCutInto61ByteReports();
    void requestSpanningReports();
    void malformedInputIgnored();
    void sessionsAreExclusiveAndEndOnUnplug();
    void sameSeedSameFaults();
    void readWithoutReplyTimesOut();
};

void TestSimulator::configParses_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("normalised");
    QTest::newRow("defaults") << ""
                              << "seed=1,timing=off,fault.control=none,fault.module=none,"
                                 "chip=KEL4401";
    QTest::newRow("all board keys")
        << "seed=7,timing=on,fault.module=noreply,fault.control=stale"
        << "seed=7,timing=on,fault.control=stale,fault.module=noreply,chip=KEL4401";
    QTest::newRow("spaces and empty parts") << " seed = 3 ,, fault.module=unplugged "
                                            << "seed=3,timing=off,fault.control=none,"
                                               "fault.module=unplugged,chip=KEL4401";
    QTest::newRow("sensor keys")
        << "chip=KEL4405,seed=3,timing=off,fault.module=noreply,app0=2.0.15.1,target=1200,"
           "badHistogram=1,shortObjects=on,deviceStatus=5"
        << "seed=3,timing=off,fault.control=none,fault.module=noreply,chip=KEL4405,"
           "app0=2.0.15.1,target=1200,badHistogram=1,shortObjects=1,deviceStatus=5";
}

void TestSimulator::configParses() {
    QFETCH(QString, text);
    QFETCH(QString, normalised);
    SimulatorConfig config;
    QString message = QStringLiteral("untouched");
    QVERIFY(SimulatorConfig::parse(text, &config, &message));
    QCOMPARE(message, QStringLiteral("untouched"));
    QCOMPARE(config.toString(), normalised);
    SimulatorConfig again;
    QVERIFY(SimulatorConfig::parse(config.toString(), &again));
    QCOMPARE(again.toString(), normalised);
}

void TestSimulator::configSeedDrivesSensor() {
    SimulatorConfig config;
    QVERIFY(SimulatorConfig::parse(QStringLiteral("seed=9,chip=KEL4301"), &config));
    QCOMPARE(config.sensorConfig().seed, 9u);
    QVERIFY(config.sensorConfig().chipModel == SensorConfig::ChipModel::Kel4301);
    config.seed = 11;
    QCOMPARE(config.sensorConfig().seed, 11u);
}

void TestSimulator::configRefuses_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("seed not a number") << "seed=abc"
                                       << "Bad value \"abc\" for simulator setting \"seed\".";
    QTest::newRow("negative seed") << "seed=-1"
                                   << "Bad value \"-1\" for simulator setting \"seed\".";
    QTest::newRow("timing neither on nor off")
        << "timing=maybe"
        << "Bad value \"maybe\" for simulator setting \"timing\".";
    QTest::newRow("unknown fault") << "fault.module=bogus"
                                   << "Bad value \"bogus\" for simulator setting \"fault.module\".";
    QTest::newRow("unknown key") << "colour=red"
                                 << "Unknown simulator setting \"colour\".";
    QTest::newRow("unknown chip") << "chip=KEL9999"
                                  << "Bad value \"KEL9999\" for simulator setting \"chip\".";
    QTest::newRow("target out of range") << "target=99999"
                                         << "Bad value \"99999\" for simulator setting \"target\".";
    QTest::newRow("blank in a revision part")
        << "app0=1. 2.3.4"
        << "Value \"1. 2.3.4\" of simulator setting \"app0\" contains a blank.";
    QTest::newRow("tab in a seed")
        << "seed=1\t2"
        << "Value \"1\t2\" of simulator setting \"seed\" contains a blank.";
    QTest::newRow("no value") << "seed"
                              << "Simulator setting \"seed\" is not of the form key=value.";
    QTest::newRow("good then bad") << "timing=on,fault.control="
                                   << "Bad value \"\" for simulator setting \"fault.control\".";
    QTest::newRow("sensor key, then bad") << "chip=KEL4405,seed=x"
                                          << "Bad value \"x\" for simulator setting \"seed\".";
}

void TestSimulator::configRefuses() {
    QFETCH(QString, text);
    QFETCH(QString, message);
    SimulatorConfig config;
    config.seed = 42;
    QString refusal;
    QVERIFY(!SimulatorConfig::parse(text, &config, &refusal));
    QCOMPARE(refusal, message);
    QCOMPARE(config.toString(), QStringLiteral("seed=42,timing=off,fault.control=none,"
                                               "fault.module=none,chip=KEL4401"));
    QVERIFY(!SimulatorConfig::parse(text, nullptr));
}

void TestSimulator::firmwareNumberReply() {
    SimulatedBoard board;
    SimulatedHidInterface& hid = board.hidInterface(BoardInterface::Control);
    QCOMPARE(hid.interfaceNumber(), 3);
    const auto session = hid.claim();
    QVERIFY(session != 0);
    QVERIFY(send(hid, session, hostReport(9, requestFrame(103, {}, 3))));
    const QList<QByteArray> reports = receiveAll(hid, session);
    QCOMPARE(reports.size(), 1);
    QCOMPARE(reports[0].left(12), QByteArray::fromHex("00900800670000000301"
                                                      "0007"));
    QCOMPARE(reports[0].size(), 65);
}

void TestSimulator::longReplyCutInto61ByteReports() {
    SimulatedBoard board;
    const QByteArray bins(512, '\x5A');
    board.firmware(BoardInterface::Module)
        .setHandler(1, [&](const FirmwareRequest&) -> std::optional<FirmwareReply> {
            return FirmwareReply{3, bins, std::nullopt, 0};
        });
    SimulatedHidInterface& hid = board.hidInterface(BoardInterface::Module);
    const auto session = hid.claim();
    QVERIFY(send(hid, session, hostReport(14, requestFrame(1, "\x01\x00", 512))));
    const QList<QByteArray> reports = receiveAll(hid, session);
    QCOMPARE(reports.size(), 9);
    QByteArray frame;
    for (const QByteArray& report : reports) {
        QCOMPARE(int(quint8(report[1])) >> 4, 14);
        QCOMPARE(int(report[3]), 3);
        frame += report.mid(4, quint8(report[2]));
    }
    QCOMPARE(int(reports.last()[2]), 517 - 8 * 61);
    QCOMPARE(frame, QByteArray::fromHex("0100030200") + bins);
}

void TestSimulator::requestSpanningReports() {
    SimulatedBoard board;
    QByteArray seen;
    board.firmware(BoardInterface::Module)
        .setHandler(8, [&](const FirmwareRequest& request) -> std::optional<FirmwareReply> {
            seen = request.payload;
            return FirmwareReply{};
        });
    SimulatedHidInterface& hid = board.hidInterface(BoardInterface::Module);
    const auto session = hid.claim();
    QByteArray payload(70, '\0');
    for (int i = 0; i < payload.size(); ++i)
        payload[i] = char(i);
    const QByteArray frame = requestFrame(8, payload, 0);
    QVERIFY(send(hid, session, hostReport(1, frame.left(61))));
    QCOMPARE(hid.pendingReports(), 0);
    QVERIFY(send(hid, session, hostReport(2, frame.mid(61))));
    QCOMPARE(seen, payload);
    const QList<QByteArray> reports = receiveAll(hid, session);
    QCOMPARE(reports.size(), 1);
    QCOMPARE(int(quint8(reports[0][1])) >> 4, 2); // the counter of the report that ended it
}

void TestSimulator::malformedInputIgnored() {
    SimulatedBoard board;
    SimulatedHidInterface& hid = board.hidInterface(BoardInterface::Module);
    const auto session = hid.claim();
    QVERIFY(send(hid, session, hostReport(1, requestFrame(103, {}, 3), 62)));
    QVERIFY(send(hid, session, QByteArray(2, '\0')));
    QCOMPARE(hid.pendingReports(), 0);
    // A header announcing more than a frame holds is dropped; the next frame is answered.
    QVERIFY(send(hid, session, hostReport(2, QByteArray::fromHex("01FFFF0000"))));
    QCOMPARE(hid.pendingReports(), 0);
    QVERIFY(send(hid, session, hostReport(3, requestFrame(103, {}, 3))));
    QCOMPARE(hid.pendingReports(), 1);
}

void TestSimulator::sessionsAreExclusiveAndEndOnUnplug() {
    SimulatedBoard board;
    SimulatedHidInterface& hid = board.hidInterface(BoardInterface::Module);
    const auto first = hid.claim();
    QVERIFY(first != 0);
    QCOMPARE(hid.claim(), SimulatedHidInterface::Session(0));

    board.unplug();
    QVERIFY(!hid.isPresent());
    QVERIFY(!send(hid, first, hostReport(1, requestFrame(103, {}, 3))));
    QCOMPARE(hid.claim(), SimulatedHidInterface::Session(0));

    board.replug();
    QVERIFY(!hid.isSessionValid(first));
    const auto second = hid.claim();
    QVERIFY(second != 0 && second != first);
    hid.release(first); // a dead handle's close does not free the new one
    QCOMPARE(hid.claim(), SimulatedHidInterface::Session(0));
    QVERIFY(send(hid, second, hostReport(1, requestFrame(103, {}, 3))));
    QCOMPARE(receiveAll(hid, second).size(), 1);
}

void TestSimulator::sameSeedSameFaults() {
    // Each report with the counter of the host report it answers.
    using Answer = QPair<int, QByteArray>;
    auto run = [](quint32 seed) {
        SimulatorConfig config;
        config.seed = seed;
        config.setFault(BoardInterface::Module, TransportFault::StaleReports);
        SimulatedBoard board(config);
        SimulatedHidInterface& hid = board.hidInterface(BoardInterface::Module);
        const auto session = hid.claim();
        QList<Answer> all;
        for (unsigned char counter = 0; counter < 15; ++counter) {
            send(hid, session, hostReport(counter, requestFrame(103, {}, 3)));
            for (const QByteArray& report : receiveAll(hid, session))
                all.append({counter, report});
        }
        return all;
    };
    const QList<Answer> first = run(7);
    QCOMPARE(run(7), first);
    QVERIFY(run(8) != first);
    QVERIFY(first.size() > 15); // every reply came after at least one stale report
    int replies = 0;
    for (const Answer& answer : first) {
        const int counter = quint8(answer.second[1]) >> 4;
        if (answer.second[4] == char(103)) {
            ++replies;
            QCOMPARE(counter, answer.first);
        } else {
            QVERIFY(counter != answer.first);
        }
    }
    QCOMPARE(replies, 15);
}

void TestSimulator::readWithoutReplyTimesOut() {
    SimulatedBoard board;
    SimulatedHidInterface& hid = board.hidInterface(BoardInterface::Control);
    const auto session = hid.claim();
    unsigned char report[65];
    unsigned int length = 0;
    QCOMPARE(hid.hostRead(session, report, sizeof report, 5, &length),
             SimulatedHidInterface::Transfer::TimedOut);
    QCOMPARE(hid.hostRead(session + 1, report, sizeof report, 5, &length),
             SimulatedHidInterface::Transfer::Failed);
}

QTEST_GUILESS_MAIN(TestSimulator)
#include "tst_simulator.moc"
