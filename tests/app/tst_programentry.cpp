#include "apptestsupport.h"
#include "testregistry.h"

#include "programoptions.h"

#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

class TestProgramEntry : public QObject {
    Q_OBJECT

private slots:
    void options_data();
    void options();
    void quickExits();
    void startsOnTheSimulatedBoardAndExitsCleanly();
    void scalesToTheScreensDensity_data();
    void scalesToTheScreensDensity();
    void resultLogStopsWholeAtTheFileSizeLimit();
};

void TestProgramEntry::options_data() {
    QTest::addColumn<QStringList>("arguments"); // after the program's name
    QTest::addColumn<QString>("parsed");
    QTest::newRow("nothing") << QStringList() << "";
    QTest::newRow("simulate") << QStringList{"--simulate"} << "simulate";
    QTest::newRow("simulate with config")
        << QStringList{"--simulate=chip=KEL4405,seed=3"} << "simulate chip=KEL4405,seed=3";
    QTest::newRow("empty config") << QStringList{"--simulate="} << "simulate";
    QTest::newRow("help") << QStringList{"--help"} << "help";
    QTest::newRow("short help") << QStringList{"-h"} << "help";
    QTest::newRow("unknown") << QStringList{"--simulated"} << "error";
    QTest::newRow("help after a toolkit option")
        << QStringList{"-platform", "offscreen", "--help"} << "help error";
    QTest::newRow("stray word") << QStringList{"--simulate", "chip=KEL4405"} << "simulate error";
}

void TestProgramEntry::options() {
    QFETCH(QStringList, arguments);
    const ProgramOptions options = ProgramOptions::parse(QStringList{"prog"} + arguments);
    QStringList parsed;
    if (options.simulate)
        parsed << "simulate";
    if (!options.simulatorConfig.isEmpty())
        parsed << options.simulatorConfig;
    if (options.showHelp)
        parsed << "help";
    if (!options.error.isEmpty())
        parsed << "error";
    QTEST(parsed.join(' '), "parsed");
}

namespace {

struct ProgramRun {
    int exitCode; // -1: crashed, hung or reported by a sanitizer
    QString output;
    QString errors;
};

// Runs the program entry in a child process: this test executable started again with
// ZYR_PROGRAM_RUN set, which makes its main hand over to the program, and with the named probe
// of tests/app/main.cpp, if any, alongside.
ProgramRun runProgramChild(const QStringList& arguments, const QString& probe = {},
                           const QByteArray& fontDpi = {}) {
    ScopedSettingsFolder settings;
    QTemporaryDir home;
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ZYR_PROGRAM_RUN", "1");
    environment.insert("ZYR_PROGRAM_PROBE", probe);
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.remove("QT_SCALE_FACTOR");
    environment.remove("QT_FONT_DPI");
    if (!fontDpi.isEmpty())
        environment.insert("QT_FONT_DPI", fontDpi); // the screen's DPI on this platform
    // The program's own settings go to a private folder.
    environment.insert("XDG_CONFIG_HOME", home.filePath("config"));
    environment.insert("XDG_CONFIG_DIRS", home.filePath("system"));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    const bool finished = child.waitForFinished(30000);
    if (!finished) {
        child.kill();
        child.waitForFinished();
    }
    ProgramRun run{child.exitCode(), QString::fromLocal8Bit(child.readAllStandardOutput()),
                   QString::fromLocal8Bit(child.readAllStandardError())};
    if (!finished || child.exitStatus() != QProcess::NormalExit ||
        run.errors.contains("Sanitizer") || run.errors.contains("runtime error"))
        run.exitCode = -1;
    return run;
}

} // namespace

// Help goes to standard output with success; a bad simulator configuration fails with a reason.
void TestProgramEntry::quickExits() {
    const ProgramRun help = runProgramChild({"--help"});
    QVERIFY2(help.exitCode == 0 && help.output.contains("--simulate[=<config>]"),
             qPrintable(help.errors));
    const ProgramRun bad = runProgramChild({"--simulate=chip"});
    QVERIFY2(bad.exitCode == 2 && bad.errors.contains("Invalid simulator configuration"),
             qPrintable(bad.errors));
}

void TestProgramEntry::startsOnTheSimulatedBoardAndExitsCleanly() {
    const ProgramRun run = runProgramChild({"--simulate"}, "channels");
    QVERIFY2(run.exitCode == 0, qPrintable(run.output + run.errors));
    // The probe in the child reports how long it took until both channel fields showed open.
    const QRegularExpressionMatch match =
        QRegularExpression("both channels open after (\\d+) ms").match(run.output);
    QVERIFY2(match.hasMatch(), qPrintable(run.output + run.errors));
    QVERIFY(match.captured(1).toInt() < 3000);
}

void TestProgramEntry::scalesToTheScreensDensity_data() {
    QTest::addColumn<QByteArray>("screenDpi");
    QTest::addColumn<QString>("ratio");
    QTest::newRow("96 dpi") << QByteArray("96") << "1";
    QTest::newRow("144 dpi") << QByteArray("144") << "1.5";
    QTest::newRow("192 dpi") << QByteArray("192") << "2";
}

// On a dense screen the program scales its window by the screen's factor, not rounded, so fonts
// keep the 96 DPI they were laid out for, and icons come in pixmaps of that ratio.
void TestProgramEntry::scalesToTheScreensDensity() {
    QFETCH(QByteArray, screenDpi);
    QFETCH(QString, ratio);
    const ProgramRun run = runProgramChild({"--simulate"}, "scaling", screenDpi);
    QVERIFY2(run.exitCode == 0, qPrintable(run.output + run.errors));
    QCOMPARE(run.output, QString("ratio %1 dpi 96 icon %1\n").arg(ratio));
}

// Saving data in continuous mode until the file meets the process's file-size limit: the
// program lives on, tells the system's reason and leaves a log of whole records.
void TestProgramEntry::resultLogStopsWholeAtTheFileSizeLimit() {
    QTemporaryDir folder;
    const QString logFile = folder.filePath("limited.csv");
    const int sizeLimit = 100000;
    const ProgramRun run =
        runProgramChild({"--simulate"}, QString("log-limit=%1:%2").arg(sizeLimit).arg(logFile));
    QVERIFY2(run.exitCode == 0, qPrintable(run.output + run.errors));
    QCOMPARE(run.output, QString("Warning: Could not write to the log file %1 (File too large). "
                                 "Saving data has stopped.\n")
                             .arg(logFile));
    QFile log(logFile);
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray records = log.readAll();
    QVERIFY(records.size() > sizeLimit / 2 && records.size() < sizeLimit);
    QVERIFY(records.endsWith("\r\n"));
}

ZYR_TEST_CLASS(TestProgramEntry)
#include "tst_programentry.moc"
