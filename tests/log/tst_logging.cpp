#include "assertionabort.h"
#include "testregistry.h"

#include "filesizelimit.h"
#include "logging.h"
#include "logrecords.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <array>
#include <sys/resource.h>

using Bins = std::array<uint16_t, 256>;

class TestLogging : public QObject {
    Q_OBJECT

private slots:
    void cycleArrivesRecordByRecord();
    void failedWriteStopsTheLogOnce_data();
    void failedWriteStopsTheLogOnce();

private:
    QTemporaryDir itsFolder;
};

// A log through a measurement cycle: after each writer returns, exactly its record, whole and
// ended by CR LF, has reached the file ("MS" stands for a time stamp in milliseconds).
void TestLogging::cycleArrivesRecordByRecord() {
    const QString path = itsFolder.filePath(QStringLiteral("cycle.csv"));
    Logging log(path);
    QFile reader(path);
    QVERIFY(log.open() && reader.open(QIODevice::ReadOnly));
    auto added = [&reader] {
        static const QRegularExpression stamp(QStringLiteral("^#OBJ;\\d{13};"),
                                              QRegularExpression::MultilineOption);
        return QString::fromLatin1(reader.readAll()).replace(stamp, "#OBJ;MS;").toLatin1();
    };
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
           << "#ITT;Iterations;Object Detection Threshold;Maximum Distance"
           << "#VER;01-0a-ff-00;2.0.15.1;3.0.1;1.2.3.4;7;2";
    log.writeHeader("01-0a-ff-00", "2.0.15.1", "3.0.1", "1.2.3.4", "7", "2", true);
    QCOMPARE(added(), header.join("\r\n") + "\r\n");
    QVERIFY(headerBlock("", false).endsWith("\n#ITT;Iterations;Object Detection Threshold\r\n"));

    Bins bins{};
    const QByteArray zeroFields = QByteArray(";0000000000").repeated(256) + "\r\n";
    log.writeHistogram(bins.data(), 3, 0, false, true);
    log.writeHistogram(bins.data(), 1, 9, false, true);
    QCOMPARE(added(), "#CI3" + zeroFields + "#??1" + zeroFields);
    bins.fill(0xFFFF);
    const QByteArray fullFields = QByteArray(";0000065535").repeated(256) + "\r\n";
    log.writeHistogram(bins.data(), 0, 4, false, true);
    log.writeHistogram(bins.data(), 4, 1, false, true);
    log.writeHistogram(bins.data(), 2, 3, false, true);
    QCOMPARE(added(), "#CO0" + fullFields + "#PT4" + fullFields + "#SUM" + fullFields);

    // Exponents in bins 127 and 255 scale their halves; shift 40 acts as 8, in 32 bits.
    bins.fill(0), bins[0] = 3, bins[126] = 0xFFFF, bins[127] = 2;
    bins[128] = 1, bins[254] = 5, bins[255] = 40;
    const QByteArray zeros = QByteArray(";0000000000").repeated(125);
    log.writeHistogram(bins.data(), 2, 2, false, true);
    QCOMPARE(added(), "#TG2;0000000012" + zeros + ";0000262140;0000000002;0000000256" + zeros +
                          ";0000001280;0000000040\r\n");
    const QByteArray raw = ";0000000003" + zeros + ";0000065535;0000000002;0000000001" + zeros +
                           ";0000000005;0000000040\r\n";
    log.writeHistogram(bins.data(), 2, 2, true, true);
    QCOMPARE(added(), "#TG2" + raw);
    log.writeHistogram(bins.data(), 0, 2, false, false);
    QCOMPARE(added(), "#TG0" + raw);
    bins[0] = 0xFFFF, bins[127] = 31;
    log.writeHistogram(bins.data(), 1, 2, false, true);
    QVERIFY(added().startsWith("#TG1;2147483648;"));

    log.writeTemperature(-5), log.writeTemperature(-128), log.writeTemperature(127);
    QCOMPARE(added(), QByteArray("#TMP;-5\r\n#TMP;-128\r\n#TMP;127\r\n"));
    log.writeIterations(65535, 255, true, true), log.writeIterations(7, 5, false, true);
    log.writeIterations(65535, 255, true, false);
    QCOMPARE(added(), QByteArray("#ITT;65535;255;4m\r\n#ITT;00007;005;2.5m\r\n#ITT;65535;255\r\n"));
    log.writeObjects(0, 63, 1234, 5, 70000), log.writeObjects(1, 63, 1234, 5, 70000);
    log.writeObjects(255, 255, 65535, 4294967295u, 4294967295u);
    QCOMPARE(added(), QByteArray("#OBJ;MS;00000\r\n"
                                 "#OBJ;MS;00001;0000000063;0000001234;000000005;000070000\r\n"
                                 "#OBJ;MS;00001;0000000255;0000065535;4294967295;4294967295\r\n"));
    log.writeCalibration(2, ";0A;FF\r\n");
    log.writeCommandTrace("#DTX;GET_CALIBRATION_DATA;09;02\r\n");
    log.write("#CAL;01;00\r\n");
    log.writeCalibration(0, ";0B"), log.writeCalibration(1, QString());
    QCOMPARE(added(), QByteArray("#CAL;02;0A;FF\r\n#CAL;01;00\r\n#CAL;00;0B\r\n#CAL;01\r\n"));

    Logging socketOnly; // no file, no socket: writes nothing anywhere
    socketOnly.writeTemperature(1);
    QVERIFY(!socketOnly.writeToSocket("#TMP;1\r\n") && !log.hasFailed() && reader.atEnd());
}

void TestLogging::failedWriteStopsTheLogOnce_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("sizeLimit");
    QTest::addColumn<QString>("reason"); // the system's, within the report
    QTest::newRow("file size limit")
        << itsFolder.filePath(QStringLiteral("full.csv")) << 20000 << "(File too large)";
    QTest::newRow("full device") << QStringLiteral("/dev/full") << 0 << "(No space left on device)";
}

// In a child process, where a file size limit cannot harm the test runner; the limit is met as
// the program meets it.
void TestLogging::failedWriteStopsTheLogOnce() {
    QFETCH(QString, path);
    QFETCH(int, sizeLimit);
    QFETCH(QString, reason);
    bool aborted = false;
    const QByteArray output = AssertionAbort::runInChild(
        [&] {
            const rlimit limit{rlim_t(sizeLimit), rlim_t(sizeLimit)};
            letFileSizeLimitFailWrites();
            if (sizeLimit > 0 && setrlimit(RLIMIT_FSIZE, &limit) != 0)
                return;
            Logging log(path);
            if (!log.open())
                return;
            int failures = 0;
            QString report;
            QObject::connect(&log, &Logging::writeFailed, [&](const QString& text) {
                ++failures;
                report = text;
            });
            for (int record = 0; record < 30; ++record)
                log.writeHistogram(Bins{}.data(), 1, 1, false, false);
            log.writeTemperature(3);
            std::printf("failures=%d stopped=%d\n%s", failures, log.hasFailed() ? 1 : 0,
                        qPrintable(report));
        },
        &aborted);
    QVERIFY2(output.startsWith("failures=1 stopped=1\n") && output.contains(reason.toLocal8Bit()),
             output.constData());
    if (sizeLimit > 0) // the whole records that fit, none torn
        QCOMPARE(QFileInfo(path).size(), qint64(sizeLimit / 2822 * 2822));
}

ZYR_TEST_CLASS(TestLogging)
#include "tst_logging.moc"
