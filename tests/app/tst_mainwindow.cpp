#include "apptestsupport.h"
#include "testregistry.h"

#include "Tools/versioninfo.h"
#include "devicestatusbar.h"
#include "intents/iintent.h"
#include "intents/intentmanager.h"
#include "mainwindow.h"
#include "simulatedevaluationboard.h"
#include "zyrstatusfield.h"

#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

namespace {

const char* const kGreen = "background-color: #009f69";

QSettings globalSettings() {
    return QSettings(QSettings::SystemScope, MainWindow::organizationName,
                     MainWindow::applicationName);
}

bool alreadyRunningFlag() {
    return globalSettings().value(MainWindow::alreadyRunningKey, false).toBool();
}

void setAlreadyRunningFlag(bool value) {
    QSettings settings = globalSettings();
    settings.setValue(MainWindow::alreadyRunningKey, value);
    settings.sync();
}

QStringList menuTexts(QMenu* menu) {
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << action->text();
    return texts;
}

std::unique_ptr<ZyrSim::SimulatedEvaluationBoard> simulatedBoard(const QString& config = {}) {
    QString error;
    auto board = ZyrSim::SimulatedEvaluationBoard::create(config, &error);
    if (!board)
        qWarning("simulated board refused: %s", qPrintable(error));
    return board;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void init();
    void flagIsSetWhileRunningAndClearedAfter();
    void flagFoundSetWarnsOnceAndStaysSet();
    void titleIsTheProductName();
    void menuBarOffersTheIntents();
    void channelFieldsTurnGreenOnTheBoard();
    void channelFieldsStayUnboundColoursWithoutBoard();
    void activationMessagesComeAfterConstruction();
    void exitIntentEndsTheProgramLoop();
    void screenshot();

private:
    std::unique_ptr<ScopedSettingsFolder> itsSettingsFolder;
};

void TestMainWindow::init() {
    itsSettingsFolder = std::make_unique<ScopedSettingsFolder>();
    QVERIFY(itsSettingsFolder->isValid());
}

void TestMainWindow::flagIsSetWhileRunningAndClearedAfter() {
    auto board = simulatedBoard();
    QVERIFY(board);
    MessageBoxCloser closer;
    QVERIFY(!alreadyRunningFlag());
    {
        MainWindow window;
        QVERIFY(alreadyRunningFlag());
    }
    QVERIFY(!alreadyRunningFlag());
    QVERIFY(closer.seen.isEmpty());
}

void TestMainWindow::flagFoundSetWarnsOnceAndStaysSet() {
    setAlreadyRunningFlag(true);
    bool constructing = true;
    MessageBoxCloser closer(&constructing);
    {
        // Without a board the module stream stays closed, so the flag is taken at its word.
        MainWindow window;
        constructing = false;
        QCOMPARE(closer.seen.size(), 1);
        QCOMPARE(closer.seen[0].text,
                 QStringLiteral("Could not connect to target. Is another instance of the GUI "
                                "already running?\n"));
        ZyrCore::Tools::VersionInfo version;
        version.retrieveInfo();
        QCOMPARE(closer.seen[0].title, version.productNameString());
    }
    QVERIFY(alreadyRunningFlag());
    QCOMPARE(closer.seen.size(), 1);
}

void TestMainWindow::titleIsTheProductName() {
    MessageBoxCloser closer;
    MainWindow window;
    ZyrCore::Tools::VersionInfo version;
    version.retrieveInfo();
    QVERIFY(!version.productNameString().isEmpty());
    QCOMPARE(window.windowTitle(), version.productNameString());
}

void TestMainWindow::menuBarOffersTheIntents() {
    MessageBoxCloser closer;
    MainWindow window;
    QList<QAction*> menus = window.menuBar()->actions();
    QCOMPARE(menus.size(), 3);
    QCOMPARE(menus[0]->text(), QStringLiteral("File"));
    QCOMPARE(menuTexts(menus[0]->menu()),
             (QStringList{"Load Configuration", "Save Configuration", "Exit"}));
    QCOMPARE(menus[1]->text(), QStringLiteral("View"));
    QCOMPARE(menuTexts(menus[1]->menu()), (QStringList{"Dock Windows", "Disable Graph Updates"}));
    QVERIFY(!menus[1]->menu()->actions()[0]->isEnabled());
    QVERIFY(menus[1]->menu()->actions()[1]->isCheckable());
    QCOMPARE(menus[2]->text(), QStringLiteral("Help"));
    QCOMPARE(menuTexts(menus[2]->menu()), (QStringList{"About Dialog"}));
}

void TestMainWindow::channelFieldsTurnGreenOnTheBoard() {
    auto board = simulatedBoard();
    QVERIFY(board);
    MessageBoxCloser closer;
    MainWindow window;
    auto* statusBar = window.findChild<DeviceStatusBar*>();
    QVERIFY(statusBar != nullptr);
    QVERIFY(statusBar->controlHidField()->styleSheet().contains(kGreen));
    QVERIFY(statusBar->moduleHidField()->styleSheet().contains(kGreen));

    board->unplug();
    QTRY_VERIFY_WITH_TIMEOUT(
        statusBar->moduleHidField()->styleSheet().contains("background-color: #df5353"), 3000);
    board->replug();
    QTRY_VERIFY_WITH_TIMEOUT(statusBar->moduleHidField()->styleSheet().contains(kGreen), 3000);
    QTRY_VERIFY_WITH_TIMEOUT(statusBar->controlHidField()->styleSheet().contains(kGreen), 3000);
}

void TestMainWindow::channelFieldsStayUnboundColoursWithoutBoard() {
    MessageBoxCloser closer;
    MainWindow window;
    auto* statusBar = window.findChild<DeviceStatusBar*>();
    QVERIFY(statusBar != nullptr);
    QVERIFY(!statusBar->controlHidField()->styleSheet().contains(kGreen));
    QVERIFY(!statusBar->moduleHidField()->styleSheet().contains(kGreen));
}

void TestMainWindow::activationMessagesComeAfterConstruction() {
    auto board = simulatedBoard(QStringLiteral("app0=2.0.15.1"));
    QVERIFY(board);
    bool constructing = true;
    MessageBoxCloser closer(&constructing);
    MainWindow window;
    constructing = false;
    QVERIFY(closer.seen.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(closer.seen.size(), 1, 3000);
    QCOMPARE(closer.seen[0].title, QStringLiteral("Critical"));
    QVERIFY(closer.seen[0].text.contains("outdated and unsupported ROM firmware"));
    QVERIFY(!closer.seen[0].whileBusy);
}

void TestMainWindow::exitIntentEndsTheProgramLoop() {
    auto board = simulatedBoard();
    QVERIFY(board);
    MessageBoxCloser closer;
    MainWindow window;
    window.show();
    QTimer::singleShot(50, [] {
        ZyrGui::Intents::IntentManager::instance()->getIntent(QStringLiteral("intExit"))->execute();
    });
    QTimer::singleShot(5000, [] { QCoreApplication::exit(1); });
    QCOMPARE(QCoreApplication::exec(), 0);
}

void TestMainWindow::screenshot() {
    auto board = simulatedBoard();
    QVERIFY(board);
    MessageBoxCloser closer;
    MainWindow window;
    window.show();
    QTest::qWait(150); // the window shrinks to its minimum size after 100 ms
    QCOMPARE(window.size(), window.minimumSize());
    const QString folder = QDir(QCoreApplication::applicationDirPath()).filePath("screenshots");
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(window.grab().save(QDir(folder).filePath("mainwindow.png")));
}

ZYR_TEST_CLASS(TestMainWindow)
#include "tst_mainwindow.moc"
