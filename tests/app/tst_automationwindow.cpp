#include "apptestsupport.h"
#include "testregistry.h"

#include "commands/getobjectscommand.h"
#include "devicestatusbar.h"
#include "mainwindow.h"
#include "simulatedevaluationboard.h"
#include "zyrstatusfield.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTcpSocket>
#include <QtTest>

#include <sys/socket.h>

namespace {

// The program on a simulated board; a cycle measures the summed histogram only.
struct Program {
    Program() { box("cbSummed")->setChecked(true); }
    QCheckBox* box(const char* name) { return window.findChild<QCheckBox*>(name); }
    bool isLocal() { return window.findChild<QPushButton*>("pbStart")->isEnabled(); }

    ScopedSettingsFolder settings;
    std::unique_ptr<ZyrSim::SimulatedEvaluationBoard> board =
        ZyrSim::SimulatedEvaluationBoard::create("seed=9");
    DialogRecorder dialogs;
    MainWindow window{nullptr, kAnyFreePort};
};

// Connects a client and returns the tags of the first count lines it receives.
QByteArrayList tags(QTcpSocket& client, int count, Program* connectTo = nullptr) {
    if (connectTo != nullptr)
        client.connectToHost(QHostAddress::LocalHost, connectTo->window.automationPort());
    QByteArrayList result;
    (void)QTest::qWaitFor([&] {
        while (client.canReadLine() && result.size() < count)
            result << client.readLine().split(';').value(0);
        return result.size() == count;
    });
    return result;
}

const QByteArrayList kCycle = {"#SUM", "#TMP", "#ITT", "#OBJ"};

// How a client leaves the program.
enum class Leaving {
    NotAtAll, // it stays connected; the program drops it
    ByReset,
    ByClosing,
};

} // namespace

Q_DECLARE_METATYPE(Leaving)

class TestAutomationWindow : public QObject {
    Q_OBJECT

private slots:
    void clientDrivesTheProgram();
    void badClientLeavesTheProgramServing_data();
    void badClientLeavesTheProgramServing();
};

// The greeting, commands reaching the form, one cycle's records in order, a second client
// refused without touching the first, and the controls back once the client has left. A script
// that closes and connects again at once is greeted each time, even while its last close still
// waits in the program's event loop.
void TestAutomationWindow::clientDrivesTheProgram() {
    Program program;
    auto* field = program.window.findChild<DeviceStatusBar*>()->automationStatusField();
    QTcpSocket first, second;
    QCOMPARE(tags(first, 2, &program), QByteArrayList({"#VER", "#CAL"}));
    QVERIFY(field->text() == "Automation On" && !program.isLocal());
    QCOMPARE(tags(second, 0, &program), QByteArrayList());
    QTRY_COMPARE(second.state(), QAbstractSocket::UnconnectedState);
    first.write("(I500)(X5)x");
    QCOMPARE(tags(first, 5), QByteArrayList{"#ERR"} + kCycle);
    QCOMPARE(program.window.findChild<QSpinBox*>("sbIterations")->value(), 500);
    first.disconnectFromHost();
    QTRY_VERIFY(field->isHidden() && program.isLocal());
    for (int attempt = 0; attempt < 50; ++attempt) {
        QTcpSocket client;
        QVERIFY2(tags(client, 2, &program) == QByteArrayList({"#VER", "#CAL"}),
                 qPrintable(QString("attempt %1").arg(attempt)));
        client.close();
    }
}

void TestAutomationWindow::badClientLeavesTheProgramServing_data() {
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<Leaving>("leaves");
    // What the client sees before it leaves.
    QTest::addColumn<QByteArrayList>("replies");
    QTest::addColumn<int>("iterations"); // as the next client finds them
    QTest::newRow("flood without )") << "(" + QByteArray(1 << 20, 'x') + ")x" << Leaving::ByClosing
                                     << QByteArrayList{"#ERR"} + kCycle << 900;
    QTest::newRow("reset mid-output")
        << QByteArray(150, 'x') << Leaving::ByReset << QByteArrayList{} << 900;
    QTest::newRow("never reads") << QByteArray(20000, 'x') << Leaving::NotAtAll << QByteArrayList{}
                                 << 900;
    QTest::newRow("open parenthesis")
        << QByteArray("(") << Leaving::ByClosing << QByteArrayList{} << 900;
    QTest::newRow("open command") << QByteArray("(I555") << Leaving::ByClosing << QByteArrayList{}
                                  << 900;
    QTest::newRow("whole command")
        << QByteArray("(I555)") << Leaving::ByClosing << QByteArrayList{} << 555;
}

// Nothing lasting: no measurements for a client that is gone, and the next one is served,
// none of what the last one left unfinished reaching into its characters.
void TestAutomationWindow::badClientLeavesTheProgramServing() {
    QFETCH(QByteArray, sent);
    QFETCH(Leaving, leaves);
    QFETCH(QByteArrayList, replies);
    Program program;
    for (const char* name : {"cbRaw", "cbProximity", "cbTDC1"}) // every histogram: bulky cycles
        program.box(name)->setChecked(replies.isEmpty());
    int cycles = 0;
    program.board->board().firmware(ZyrSim::BoardInterface::Module).setObserver([&](auto& request) {
        cycles += request.protocol == GetObjectsCommand::commandId;
    });
    QTcpSocket bad, next;
    QCOMPARE(tags(bad, 2, &program).size(), 2);
    bad.write(sent);
    if (leaves == Leaving::ByReset) {
        // Once the output has begun to arrive, most of it is still unsent.
        QVERIFY(QTest::qWaitFor([&bad] { return bad.bytesAvailable() > 0; }));
        const linger abortive{1, 0};
        setsockopt(int(bad.socketDescriptor()), SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
        bad.abort();
    }
    QCOMPARE(tags(bad, replies.size()), replies);
    if (leaves == Leaving::ByClosing)
        bad.disconnectFromHost();
    QTRY_VERIFY_WITH_TIMEOUT(program.isLocal(), 20000);
    QVERIFY2(cycles < 1000, qPrintable(QString::number(cycles)));
    program.box("cbSummed")->setChecked(true);
    QCOMPARE(tags(next, 2, &program), QByteArrayList({"#VER", "#CAL"}));
    next.write("x)");
    QCOMPARE(tags(next, 4), kCycle);
    QTEST(program.window.findChild<QSpinBox*>("sbIterations")->value(), "iterations");
}

ZYR_TEST_CLASS(TestAutomationWindow)
#include "tst_automationwindow.moc"
