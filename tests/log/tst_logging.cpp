#include "assertionabort.h"
#include "testregistry.h"

#include "logging.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <array>
#include <sys/resource.h>

using LogWriter = std::function<void(Logging&)>;
Q_DECLARE_METATYPE(LogWriter)

namespace {

using Bins = std::array<uint16_t, 256>;

QByteArray fields(const QByteArray& field, int count) {
    QByteArray text;
    for (int index = 0; index < count; ++index)
        text += ';' + field;
    return text;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("unreadable");
}

// Every line ends in CR LF, and no CR or LF stands anywhere else.
bool wholeCrLfLines(const QByteArray& text) {
    return text.endsWith("\r\n") && text.count('\n') == text.count("\r\n") &&
           text.count('\r') == text.count("\r\n");
}

} // namespace

class TestLogging : public QObject {
    Q_OBJECT

private slots:
    void recordBytes_data();
    void recordBytes();
    void headerAndCycle_data();
    void headerAndCycle();
    void failedWriteStopsTheLogOnce_data();
    void failedWriteStopsTheLogOnce();

private:
    QTemporaryDir itsFolder;
};

void TestLogging::recordBytes_data() {
    QTest::addColumn<LogWriter>("writer");
    QTest::addColumn<QByteArray>("expected"); // "MS" stands for a time stamp
    Bins ramp{}, full{}, exponents{}, wrapping{};
    QByteArray rampFields;
    for (int bin = 0; bin < 256; ++bin) {
        ramp[bin] = static_cast<uint16_t>(bin * 257);
        rampFields += ';' + QByteArray::number(bin * 257).rightJustified(10, '0');
    }
    full.fill(0xFFFF);
    QTest::newRow("histogram tags")
        << LogWriter([=](Logging& log) {
               log.writeHistogram(Bins{}.data(), 3, 0, false, true);
               log.writeHistogram(full.data(), 0, 4, false, false);
               log.writeHistogram(ramp.data(), 4, 1, false, true);
               log.writeHistogram(ramp.data(), 2, 3, false, true);
               log.writeHistogram(Bins{}.data(), 1, 9, false, true);
           })
        << "#CI3" + fields("0000000000", 256) + "\r\n#CO0" + fields("0000065535", 256) +
               "\r\n#PT4" + rampFields + "\r\n#SUM" + rampFields + "\r\n#??1" +
               fields("0000000000", 256) + "\r\n";
    exponents[0] = 3, exponents[126] = 0xFFFF, exponents[127] = 2;
    exponents[128] = 1, exponents[254] = 5, exponents[255] = 40;
    wrapping[0] = 0xFFFF, wrapping[127] = 31;
    const QByteArray zeros125 = fields("0000000000", 125);
    const QByteArray raw = ";0000000003" + zeros125 + ";0000065535;0000000002;0000000001" +
                           zeros125 + ";0000000005;0000000040\r\n";
    QTest::newRow("exponents") << LogWriter([=](Logging& log) {
        log.writeHistogram(exponents.data(), 2, 2, false, true);
        log.writeHistogram(exponents.data(), 2, 2, true, true);
        log.writeHistogram(exponents.data(), 0, 2, false, false);
        log.writeHistogram(wrapping.data(), 1, 2, false, true);
    })
                               << "#TG2;0000000012" + zeros125 +
                                      ";0000262140;0000000002;0000000256" + zeros125 +
                                      ";0000001280;0000000040\r\n#TG2" + raw + "#TG0" + raw +
                                      "#TG1;2147483648" + fields("0000000000", 126) +
                                      ";0000000031" + fields("0000000000", 128) + "\r\n";
    QTest::newRow("objects")
        << LogWriter([](Logging& log) {
               log.writeObjects(0, 63, 1234, 5, 70000);
               log.writeObjects(1, 63, 1234, 5, 70000);
               log.writeObjects(255, 255, 65535, 4294967295u, 4294967295u);
           })
        << QByteArray("#OBJ;MS;00000\r\n#OBJ;MS;00001;0000000063;0000001234;000000005;000070000"
                      "\r\n#OBJ;MS;00001;0000000255;0000065535;4294967295;4294967295\r\n");
    QTest::newRow("iterations, temperature")
        << LogWriter([](Logging& log) {
               log.writeIterations(65535, 255, true, true);
               log.writeIterations(7, 5, false, true);
               log.writeIterations(65535, 255, true, false);
               log.writeTemperature(-5), log.writeTemperature(-128), log.writeTemperature(127);
           })
        << QByteArray("#ITT;65535;255;4m\r\n#ITT;00007;005;2.5m\r\n#ITT;65535;255\r\n"
                      "#TMP;-5\r\n#TMP;-128\r\n#TMP;127\r\n");
    QTest::newRow("version, calibration, lines")
        << LogWriter([](Logging& log) {
               log.writeVersion("01-0a-ff-00", "2.0.15.1", "1.4.2", "1.2.3.4", "7", "2");
               log.writeCalibration(2, ";0A;FF\r\n");
               log.writeCommandTrace("#DTX;GET_CALIBRATION_DATA;09;02\r\n");
               log.write("#CAL;01;00\r\n");
           })
        << QByteArray("#VER;01-0a-ff-00;2.0.15.1;1.4.2;1.2.3.4;7;2\r\n#CAL;02;0A;FF\r\n"
                      "#CAL;01;00\r\n");
}

void TestLogging::recordBytes() {
    QFETCH(LogWriter, writer);
    QFETCH(QByteArray, expected);
    const QString path = itsFolder.filePath(QStringLiteral("record.csv"));
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    {
        Logging log(path);
        QVERIFY(log.open());
        writer(log);
    }
    const qint64 after = QDateTime::currentMSecsSinceEpoch();
    QString written = QString::fromLatin1(readAll(path));
    const QRegularExpression stamp(QStringLiteral("(?<=^#OBJ;)\\d+"),
                                   QRegularExpression::MultilineOption);
    for (auto match = stamp.globalMatch(written); match.hasNext();) {
        const qint64 time = match.next().captured().toLongLong();
        QVERIFY(time >= before && time <= after);
    }
    QCOMPARE(written.replace(stamp, QStringLiteral("MS")).toLatin1(), expected);
}

void TestLogging::headerAndCycle_data() {
    QTest::addColumn<bool>("firmwareFlag");
    QTest::addColumn<QByteArray>("distanceTitle");
    QTest::newRow("flag set") << true << QByteArray(";Maximum Distance");
    QTest::newRow("flag clear") << false << QByteArray();
}

// The header's lines in order, then a run of measurement cycles. Each record is on disk, whole,
// when its writer returns: a reader polling the file only ever sees complete CR LF lines.
void TestLogging::headerAndCycle() {
    QFETCH(bool, firmwareFlag);
    QFETCH(QByteArray, distanceTitle);
    QList<QByteArray> header = {"sep=;", "VersionGUI 3.0.1"};
    for (const char* tag : {"#CO0", "#CI0", "#CI1", "#CI2", "#CI3", "#CI4", "#PT0", "#PT1", "#PT2",
                            "#PT3", "#PT4", "#TG0", "#TG1", "#TG2", "#TG3", "#TG4", "#SUM"}) {
        header << tag;
        for (int bin = 0; bin < 256; ++bin)
            header.last() += ";Bin" + QByteArray::number(bin);
    }
    header << "#OBJ;Timestamp;Number of Objects;Confidence;Center Distance of Object;"
              "Reference Photon Count;Object Photon Count"
           << "#VER;ToF Serial Number;App0 Version Number;GUI Version Number;"
              "Host Driver Version Number;Chip ID;Chip Revision"
           << "#TMP;Temperature Measurement SPAD Celsius"
           << "#ITT;Iterations;Object Detection Threshold" + distanceTitle
           << "#VER;01-02-03-04;2.1.0.0;3.0.1;5.6.7.8;4;1";
    const QString path = itsFolder.filePath(QStringLiteral("cycle.csv"));
    Logging log(path);
    QFile reader(path);
    QVERIFY(log.open() && reader.open(QIODevice::ReadOnly));
    log.writeHeader("01-02-03-04", "2.1.0.0", "3.0.1", "5.6.7.8", "4", "1", firmwareFlag);
    QCOMPARE(reader.readAll(), header.join("\r\n") + "\r\n");
    auto readBack = [&reader](const QByteArray& tag) {
        const QByteArray added = reader.readAll();
        return wholeCrLfLines(added) && added.count("\r\n") == 1 && added.startsWith(tag);
    };
    for (int cycle = 0; cycle < 20; ++cycle) {
        Bins bins;
        bins.fill(static_cast<uint16_t>(cycle * 3000));
        for (uint8_t type = 0; type < 5; ++type) {
            log.writeHistogram(bins.data(), cycle % 5, type, false, firmwareFlag);
            QVERIFY(readBack("#"));
        }
        log.writeTemperature(static_cast<int8_t>(cycle - 10));
        QVERIFY(readBack("#TMP;"));
        log.writeIterations(static_cast<uint16_t>(cycle * 100), 12, cycle % 2, firmwareFlag);
        QVERIFY(readBack("#ITT;"));
        log.writeObjects(static_cast<uint8_t>(cycle % 2), 40, 1500, 10, 20);
        QVERIFY(readBack("#OBJ;"));
    }
    QVERIFY(!log.hasFailed());
}

void TestLogging::failedWriteStopsTheLogOnce_data() {
    QTest::addColumn<QString>("path"); // empty: a log to an unconnected socket
    QTest::addColumn<int>("sizeLimit");
    QTest::newRow("file size limit") << itsFolder.filePath(QStringLiteral("full.csv")) << 20000;
    QTest::newRow("full device") << QStringLiteral("/dev/full") << 0;
    QTest::newRow("socket gone") << QString() << 0;
}

// In a child process, where a file size limit cannot harm the test runner.
void TestLogging::failedWriteStopsTheLogOnce() {
    QFETCH(QString, path);
    QFETCH(int, sizeLimit);
    bool aborted = false;
    const QByteArray output = AssertionAbort::runInChild(
        [&] {
            const rlimit limit{rlim_t(sizeLimit), rlim_t(sizeLimit)};
            if (sizeLimit > 0 && (std::signal(SIGXFSZ, SIG_IGN), setrlimit(RLIMIT_FSIZE, &limit)))
                return;
            QTcpSocket socket;
            Logging log(path);
            if (path.isEmpty())
                log.setSocket(&socket);
            else if (!log.open())
                return;
            int failures = 0;
            QObject::connect(&log, &Logging::writeFailed, [&failures] { ++failures; });
            for (int record = 0; record < 30; ++record)
                log.writeHistogram(Bins{}.data(), 1, 1, false, false);
            log.writeTemperature(3);
            std::printf("failures=%d stopped=%d", failures, log.hasFailed() ? 1 : 0);
        },
        &aborted);
    QCOMPARE(output, QByteArray("failures=1 stopped=1"));
    if (sizeLimit > 0) { // whole records up to the limit, none torn
        const QByteArray text = readAll(path);
        QVERIFY(wholeCrLfLines(text) && text.size() == sizeLimit / 2822 * 2822);
    }
}

ZYR_TEST_CLASS(TestLogging)
#include "tst_logging.moc"
