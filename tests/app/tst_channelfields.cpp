#include "apptestsupport.h"
#include "testregistry.h"

#include "devicestatusbar.h"
#include "mainwindow.h"
#include "simulatedevaluationboard.h"
#include "zyrstatusfield.h"

#include <QtTest>

namespace {

const char* const kGreen = "background-color: #009f69";
const char* const kRed = "background-color: #df5353";

// Claims and releases the interface: false while another handle holds it.
bool isFree(ZyrSim::SimulatedHidInterface& hid) {
    const ZyrSim::SimulatedHidInterface::Session session = hid.claim();
    hid.release(session);
    return session != 0;
}

} // namespace

// With the control interface missing, the control channel must not take the module interface:
// its field stays red through the retries and the module interface stays free for its own
// channel. (The module channel rides on the control channel, so it goes down with it.)
class TestChannelFields : public QObject {
    Q_OBJECT

private slots:
    void missingControlInterfaceShowsOnTheControlField_data() {
        QTest::addColumn<QString>("config");
        QTest::addColumn<bool>("whileRunning");
        QTest::newRow("missing at start") << "fault.control=unplugged" << false;
        QTest::newRow("unplugged while running") << "" << true;
    }
    void missingControlInterfaceShowsOnTheControlField() {
        QFETCH(QString, config);
        QFETCH(bool, whileRunning);
        auto board = ZyrSim::SimulatedEvaluationBoard::create(config);
        QVERIFY(board);
        MessageBoxCloser closer;
        MainWindow window;
        auto* statusBar = window.findChild<DeviceStatusBar*>();
        QVERIFY(statusBar != nullptr);
        ZyrGui::ZyrStatusField* control = statusBar->controlHidField();
        ZyrGui::ZyrStatusField* module = statusBar->moduleHidField();
        if (whileRunning) {
            QVERIFY(control->styleSheet().contains(kGreen));
            QVERIFY(module->styleSheet().contains(kGreen));
            board->board().setFault(ZyrSim::BoardInterface::Control,
                                    ZyrSim::TransportFault::Unplugged);
        }

        QTRY_VERIFY_WITH_TIMEOUT(control->styleSheet().contains(kRed), 3000);
        QTRY_VERIFY_WITH_TIMEOUT(module->styleSheet().contains(kRed), 3000);
        // Several retries of the control channel later: still red, and nobody holds the module
        // interface.
        QTest::qWait(1200);
        QVERIFY(control->styleSheet().contains(kRed));
        QVERIFY(isFree(board->board().hidInterface(ZyrSim::BoardInterface::Module)));

        board->board().setFault(ZyrSim::BoardInterface::Control, ZyrSim::TransportFault::None);
        QTRY_VERIFY_WITH_TIMEOUT(control->styleSheet().contains(kGreen), 3000);
        QTRY_VERIFY_WITH_TIMEOUT(module->styleSheet().contains(kGreen), 3000);
    }
};

ZYR_TEST_CLASS(TestChannelFields)
#include "tst_channelfields.moc"
