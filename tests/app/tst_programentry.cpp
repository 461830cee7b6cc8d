#include "apptestsupport.h"
#include "testregistry.h"

#include "programoptions.h"
#include "simulatorconfig.h"

#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

class TestProgramEntry : public QObject {
    Q_OBJECT

private slots:
    void options_data();
    void options();
    void quickExits();
    void quickExitsWithoutADisplay_data();
    void quickExitsWithoutADisplay();
    void helpNamesEverySimulatorSetting();
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
        << QStringList{"-platform", "offscreen", "--help"} << "help";
    // The toolkit takes its own options, with one dash or two, and their values.
    QTest::newRow("toolkit options around ours")
        << QStringList{"--platform",    "xcb",      "--simulate", "-reverse",
                       "-style=fusion", "-display", ":1"}
        << "simulate";
    QTest::newRow("toolkit option's value that looks like ours")
        << QStringList{"-qwindowtitle", "--simulate"} << "";
    QTest::newRow("mistyped among toolkit options")
        << QStringList{"-platform", "offscreen", "--simulat"} << "error";
    QTest::newRow("value joined to a toolkit option that takes it apart")
        << QStringList{"-platform=offscreen"} << "error";
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
enum class Display { Offscreen, None };

ProgramRun runProgramChild(const QStringList& arguments, const QString& probe = {},
                           const QByteArray& fontDpi = {}, Display display = Display::Offscreen) {
    ScopedSettingsFolder settings;
    QTemporaryDir home;
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ZYR_PROGRAM_RUN", "1");
    environment.insert("ZYR_PROGRAM_PROBE", probe);
    if (display == Display::Offscreen) {
        environment.insert("QT_QPA_PLATFORM", "offscreen");
    } else {
        // The toolkit's default, X11, with no server to connect to.
        environment.remove("QT_QPA_PLATFORM");
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
    }
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

void TestProgramEntry::quickExitsWithoutADisplay_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("told"); // on standard output for success, else on standard error
    QTest::newRow("help") << QStringList{"--help"} << 0 << "--simulate[=<config>]";
    QTest::newRow("mistyped option")
        << QStringList{"--simulat"} << 2 << "Unknown argument: --simulat\n\nUsage:";
    QTest::newRow("mistyped after a toolkit option")
        << QStringList{"-platform", "xcb", "--smiulate"} << 2 << "Unknown argument: --smiulate";
    QTest::newRow("bad simulator value")
        << QStringList{"--simulate=chip=KEL9999"} << 2
        << "Invalid simulator configuration: Bad value \"KEL9999\" for simulator setting "
           "\"chip\"; it takes KEL4301, KEL4401, KEL4405.";
    QTest::newRow("unknown simulator key")
        << QStringList{"--simulate=colour=red"} << 2 << "the settings are seed, timing,";
}

// Help and mistakes are answered before the program looks for a display.
void TestProgramEntry::quickExitsWithoutADisplay() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, told);
    const ProgramRun run = runProgramChild(arguments, {}, {}, Display::None);
    QVERIFY2(run.exitCode == exitCode, qPrintable(run.output + run.errors));
    QVERIFY2((exitCode == 0 ? run.output : run.errors).contains(told),
             qPrintable(run.output + run.errors));
}

// Help shows every key of the simulated board's configuration with the values it takes.
void TestProgramEntry::helpNamesEverySimulatorSetting() {
    const QString help = ProgramOptions::helpText("prog").simplified();
    QVERIFY(!help.contains("..."));
    for (const QString& key : ZyrSim::SimulatorConfig::keys()) {
        const QString entry = key + ' ' + ZyrSim::SimulatorConfig::acceptedValues(key).simplified();
        QVERIFY2(help.contains(entry), qPrintable(entry));
    }
    // No line is longer than a terminal's.
    for (const QString& line : ProgramOptions::helpText("prog").split('\n'))
        QVERIFY2(line.size() <= 79, qPrintable(line));
}

void TestProgramEntry::startsOnTheSimulatedBoardAndExitsCleanly() {
    const ProgramRun run = runProgramChild({"--simulate"}, "channels");
    QVERIFY2(run.exitCode == 0, qPrintable(run.output + run.errors));
    // The probe in the child reports how many supervision periods passed until both channel
    // fields showed open: a few, one for each channel stacked on the last.
    const QRegularExpressionMatch match =
        QRegularExpression("both channels open after (\\d+) supervision periods").match(run.output);
    QVERIFY2(match.hasMatch(), qPrintable(run.output + run.errors));
    QVERIFY2(match.captured(1).toInt() <= 6, qPrintable(run.output));
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
