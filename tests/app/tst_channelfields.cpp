#include "apptestsupport.h"
#include "devicestatusbar.h"
#include "mainwindow.h"
#include "simulatedevaluationboard.h"
#include "testregistry.h"
#include "zyrstatusfield.h"

#include <QtTest>

using namespace ZyrSim;

// With the control interface missing, the control channel must not take the module interface:
// its field stays red through the retries and the module interface stays free for its own
// channel (which rides on the control channel, so it goes down with it).
class TestChannelFields : public QObject {
    Q_OBJECT

private slots:
    void missingControlInterfaceShowsOnTheControlField_data() {
        QTest::addColumn<QString>("config");
        QTest::newRow("missing at start") << "fault.control=unplugged";
        QTest::newRow("unplugged while running") << "";
    }
    void missingControlInterfaceShowsOnTheControlField() {
        QFETCH(QString, config);
        auto board = SimulatedEvaluationBoard::create(config);
        QVERIFY(board);
        ScopedSettingsFolder settings;
        DialogRecorder dialogs;
        MainWindow window(nullptr, kAnyFreePort);
        auto* statusBar = window.findChild<DeviceStatusBar*>();
        QVERIFY(statusBar != nullptr);
        board->board().setFault(BoardInterface::Control, TransportFault::Unplugged);

        QTRY_VERIFY_WITH_TIMEOUT(showsClosed(statusBar->controlHidField()), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(showsClosed(statusBar->moduleHidField()), 10000);
        QTest::qWait(1200); // several retries of the control channel
        QVERIFY(showsClosed(statusBar->controlHidField()));
        SimulatedHidInterface& module = board->board().hidInterface(BoardInterface::Module);
        const SimulatedHidInterface::Session session = module.claim();
        QVERIFY(session != 0);
        module.release(session);

        board->board().setFault(BoardInterface::Control, TransportFault::None);
        QTRY_VERIFY_WITH_TIMEOUT(showsOpen(statusBar->controlHidField()), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(showsOpen(statusBar->moduleHidField()), 10000);
    }
};

ZYR_TEST_CLASS(TestChannelFields)
#include "tst_channelfields.moc"
