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
    void quickExits_data();
    void quickExits();
    void startsOnTheSimulatedBoardAndExitsCleanly();
    void resultLogStopsWholeAtTheFileSizeLimit();
};

void TestProgramEntry::options_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("simulate");
    QTest::addColumn<QString>("config");
    QTest::addColumn<bool>("help");
    QTest::addColumn<bool>("error");

    QTest::newRow("nothing") << QStringList{"prog"} << false << QString() << false << false;
    QTest::newRow("simulate") << QStringList{"prog", "--simulate"} << true << QString() << false
                              << false;
    QTest::newRow("simulate with config") << QStringList{"prog", "--simulate=chip=KEL4405,seed=3"}
                                          << true << "chip=KEL4405,seed=3" << false << false;
    QTest::newRow("empty config") << QStringList{"prog", "--simulate="} << true << QString()
                                  << false << false;
    QTest::newRow("help") << QStringList{"prog", "--help"} << false << QString() << true << false;
    QTest::newRow("short help") << QStringList{"prog", "-h"} << false << QString() << true << false;
    QTest::newRow("unknown") << QStringList{"prog", "--simulated"} << false << QString() << false
                             << true;
    QTest::newRow("help after a toolkit option")
        << QStringList{"prog", "-platform", "offscreen", "--help"} << false << QString() << true
        << true;
    QTest::newRow("stray word") << QStringList{"prog", "--simulate", "chip=KEL4405"} << true
                                << QString() << false << true;
}

void TestProgramEntry::options() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, simulate);
    QFETCH(bool, error);

    const ProgramOptions options = ProgramOptions::parse(arguments);
    QCOMPARE(options.simulate, simulate);
    QTEST(options.simulatorConfig, "config");
    QTEST(options.showHelp, "help");
    QCOMPARE(!options.error.isEmpty(), error);
}

namespace {

struct ProgramRun {
    bool finished = false;
    int exitCode = -1;
    QProcess::ExitStatus exitStatus = QProcess::CrashExit;
    QString output;
    QString errors;
};

// Runs the program entry in a child process: this test executable started again with
// ZYR_PROGRAM_RUN set, which makes its main hand over to the program, and with the named probe
// of tests/app/main.cpp, if any, alongside.
ProgramRun runProgramChild(const QStringList& arguments, const QString& probe = {}) {
    ScopedSettingsFolder settings;
    QTemporaryDir home;
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ZYR_PROGRAM_RUN", "1");
    if (!probe.isEmpty())
        environment.insert("ZYR_PROGRAM_PROBE", probe);
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    // The program's own settings go to a private folder.
    environment.insert("XDG_CONFIG_HOME", home.filePath("config"));
    environment.insert("XDG_CONFIG_DIRS", home.filePath("system"));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    ProgramRun run;
    run.finished = child.waitForFinished(30000);
    if (!run.finished) {
        child.kill();
        child.waitForFinished();
    }
    run.exitCode = child.exitCode();
    run.exitStatus = child.exitStatus();
    run.output = QString::fromLocal8Bit(child.readAllStandardOutput());
    run.errors = QString::fromLocal8Bit(child.readAllStandardError());
    return run;
}

} // namespace

void TestProgramEntry::quickExits_data() {
    QTest::addColumn<QString>("argument");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("text"); // on standard output when the exit code is 0, else error
    QTest::newRow("help") << "--help" << 0 << "--simulate[=<config>]";
    QTest::newRow("bad simulator configuration")
        << "--simulate=chip" << 2 << "Invalid simulator configuration";
}

void TestProgramEntry::quickExits() {
    QFETCH(QString, argument);
    QFETCH(int, exitCode);
    QFETCH(QString, text);
    const ProgramRun run = runProgramChild({argument});
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY((exitCode == 0 ? run.output : run.errors).contains(text));
}

void TestProgramEntry::startsOnTheSimulatedBoardAndExitsCleanly() {
    const ProgramRun run = runProgramChild({"--simulate"}, "channels");
    QVERIFY2(run.finished, qPrintable(run.errors));
    QVERIFY2(run.exitStatus == QProcess::NormalExit && run.exitCode == 0,
             qPrintable(run.output + run.errors));
    // The probe in the child reports how long it took until both channel fields showed open.
    const QRegularExpressionMatch match =
        QRegularExpression("both channels open after (\\d+) ms").match(run.output);
    QVERIFY2(match.hasMatch(), qPrintable(run.output + run.errors));
    QVERIFY(match.captured(1).toInt() < 3000);
    QVERIFY2(!run.errors.contains("Sanitizer"), qPrintable(run.errors));
    QVERIFY2(!run.errors.contains("runtime error"), qPrintable(run.errors));
}

// Saving data in continuous mode until the file meets the process's file-size limit: the
// program lives on, tells the system's reason and leaves a log of whole records.
void TestProgramEntry::resultLogStopsWholeAtTheFileSizeLimit() {
    QTemporaryDir folder;
    const QString logFile = folder.filePath("limited.csv");
    const int sizeLimit = 100000;
    const ProgramRun run =
        runProgramChild({"--simulate"}, QString("log-limit=%1:%2").arg(sizeLimit).arg(logFile));
    QVERIFY2(run.finished && run.exitStatus == QProcess::NormalExit && run.exitCode == 0,
             qPrintable(run.output + run.errors));
    QCOMPARE(run.output, QString("Warning: Could not write to the log file %1 (File too large). "
                                 "Saving data has stopped.\n")
                             .arg(logFile));
    QFile log(logFile);
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray records = log.readAll();
    QVERIFY(records.size() > sizeLimit / 2 && records.size() < sizeLimit);
    QVERIFY(records.endsWith("\r\n"));
    QVERIFY2(!run.errors.contains("Sanitizer"), qPrintable(run.errors));
}

ZYR_TEST_CLASS(TestProgramEntry)
#include "tst_programentry.moc"
