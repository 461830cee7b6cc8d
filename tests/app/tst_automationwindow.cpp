#include "apptestsupport.h"
#include "testregistry.h"

#include "commands/getobjectscommand.h"
#include "commands/textconversion.h"
#include "devicestatusbar.h"
#include "mainwindow.h"
#include "simulatedevaluationboard.h"
#include "zyrstatusfield.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTcpSocket>
#include <QtTest>

#include <sys/socket.h>

namespace {

// A client of the program's automation port that keeps everything it was sent.
class Client {
public:
    bool connectTo(quint16 port) {
        itsSocket.connectToHost(QHostAddress::LocalHost, port);
        return itsSocket.waitForConnected(3000);
    }
    void send(const QByteArray& bytes) {
        itsSocket.write(bytes);
        itsSocket.flush();
    }
    // The next count whole lines, without their CR LF; fewer when they did not come in time.
    QByteArrayList takeLines(int count) {
        QByteArrayList lines;
        QElapsedTimer waited;
        waited.start();
        while (lines.size() < count && !waited.hasExpired(5000)) {
            itsPending += itsSocket.readAll();
            const int end = itsPending.indexOf("\r\n");
            if (end < 0) {
                QTest::qWait(1);
                continue;
            }
            lines << itsPending.left(end);
            itsPending.remove(0, end + 2);
        }
        return lines;
    }
    QTcpSocket& socket() { return itsSocket; }

private:
    QTcpSocket itsSocket;
    QByteArray itsPending;
};

QByteArrayList tags(const QByteArrayList& lines) {
    QByteArrayList result;
    for (const QByteArray& line : lines)
        result << line.left(line.indexOf(';'));
    return result;
}

} // namespace

class TestAutomationWindow : public QObject {
    Q_OBJECT

private slots:
    void init();
    void clientDrivesTheProgram();
    void badClientLeavesTheProgramServing_data();
    void badClientLeavesTheProgramServing();

private:
    // Only the summed histogram is measured, so one cycle is "#SUM", "#TMP", "#ITT", "#OBJ".
    void selectSummedOnly();

    std::unique_ptr<ScopedSettingsFolder> itsSettings;
    std::unique_ptr<ZyrSim::SimulatedEvaluationBoard> itsBoard;
    std::unique_ptr<DialogRecorder> itsDialogs;
    std::unique_ptr<MainWindow> itsWindow;
};

void TestAutomationWindow::init() {
    itsWindow.reset();
    itsBoard.reset();
    itsSettings = std::make_unique<ScopedSettingsFolder>();
    itsBoard = ZyrSim::SimulatedEvaluationBoard::create(QStringLiteral("seed=9,target=1200"));
    itsDialogs = std::make_unique<DialogRecorder>();
    itsWindow = std::make_unique<MainWindow>(nullptr, 0);
    QVERIFY(itsBoard && itsWindow->automationPort() != 0);
}

void TestAutomationWindow::selectSummedOnly() {
    for (QCheckBox* box : itsWindow->findChildren<QCheckBox*>(QRegularExpression("^cb(TDC|Raw)")))
        box->setChecked(false);
    itsWindow->findChild<QCheckBox*>("cbSummed")->setChecked(true);
}

// "#VER" and the calibration first; commands reach the form; a measurement character yields
// one cycle's records; a second client is refused without touching the first.
void TestAutomationWindow::clientDrivesTheProgram() {
    selectSummedOnly();
    ZyrGui::ZyrStatusField* field =
        itsWindow->findChild<DeviceStatusBar*>()->automationStatusField();
    auto* start = itsWindow->findChild<QPushButton*>("pbStart");
    QVERIFY(field->isHidden() && start->isEnabled());
    Client first;
    QVERIFY(first.connectTo(itsWindow->automationPort()));
    const QByteArrayList greeting = first.takeLines(2);
    QCOMPARE(tags(greeting), QByteArrayList({"#VER", "#CAL"}));
    QCOMPARE(greeting[0].count(';'), 6);
    const QByteArray record = itsBoard->sensor().calibrationRecord();
    QCOMPARE(greeting[1] + "\r\n",
             "#CAL;02" + bytesToHexText(reinterpret_cast<const uint8_t*>(record.constData()), 14)
                             .toUpper()
                             .toLatin1());
    QVERIFY(!field->isHidden() && field->text() == "Automation On" && !start->isEnabled());

    Client second;
    second.socket().connectToHost(QHostAddress::LocalHost, itsWindow->automationPort());
    QTRY_COMPARE(second.socket().state(), QAbstractSocket::UnconnectedState);
    first.send("(I500)(X5)x");
    const QByteArrayList replies = first.takeLines(5);
    QCOMPARE(replies.value(0), "#ERR;;Invalid command.");
    QCOMPARE(tags(replies.mid(1)), QByteArrayList({"#SUM", "#TMP", "#ITT", "#OBJ"}));
    QCOMPARE(itsWindow->findChild<QSpinBox*>("sbIterations")->value(), 500);

    first.socket().disconnectFromHost();
    QTRY_VERIFY(field->isHidden() && start->isEnabled());
}

void TestAutomationWindow::badClientLeavesTheProgramServing_data() {
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<bool>("reset");
    // Replies the bad client is to see before it leaves; none: the program drops it.
    QTest::addColumn<QByteArrayList>("replies");
    QTest::newRow("flood without )") << "(" + QByteArray(1 << 20, 'x') + ")x" << false
                                     << QByteArrayList{"#ERR", "#SUM", "#TMP", "#ITT", "#OBJ"};
    QTest::newRow("reset mid-output") << QByteArray(150, 'x') << true << QByteArrayList{};
    QTest::newRow("never reads") << QByteArray(20000, 'x') << false << QByteArrayList{};
}

// A client that floods, resets or never reads costs the program nothing lasting: it measures
// nothing for a client that is gone, and the next client is greeted and measured as the first.
void TestAutomationWindow::badClientLeavesTheProgramServing() {
    QFETCH(QByteArray, sent);
    QFETCH(bool, reset);
    QFETCH(QByteArrayList, replies);
    auto* start = itsWindow->findChild<QPushButton*>("pbStart");
    // Bulky cycles: every histogram of every channel.
    for (const char* name : {"cbRaw", "cbProximity", "cbTDC1"})
        itsWindow->findChild<QCheckBox*>(name)->setChecked(replies.isEmpty());
    if (!replies.isEmpty())
        selectSummedOnly();
    int cycles = 0;
    itsBoard->board()
        .firmware(ZyrSim::BoardInterface::Module)
        .setObserver([&cycles](const ZyrSim::FirmwareRequest& request) {
            cycles += request.protocol == GetObjectsCommand::commandId;
        });
    {
        Client bad;
        QVERIFY(bad.connectTo(itsWindow->automationPort()));
        QCOMPARE(bad.takeLines(2).size(), 2);
        bad.send(sent);
        if (reset) {
            QTest::qWait(20);
            const linger abortive{1, 0};
            setsockopt(int(bad.socket().socketDescriptor()), SOL_SOCKET, SO_LINGER, &abortive,
                       sizeof abortive);
            bad.socket().abort();
        }
        QCOMPARE(tags(bad.takeLines(replies.size())), replies);
        if (replies.isEmpty())
            QTRY_VERIFY_WITH_TIMEOUT(start->isEnabled(), 20000);
    }
    QVERIFY2(cycles < 1000, qPrintable(QString::number(cycles)));
    selectSummedOnly();
    QTRY_VERIFY(start->isEnabled());
    Client next;
    QVERIFY(next.connectTo(itsWindow->automationPort()));
    next.send("(T7)x");
    QCOMPARE(tags(next.takeLines(6)),
             QByteArrayList({"#VER", "#CAL", "#SUM", "#TMP", "#ITT", "#OBJ"}));
    QCOMPARE(itsWindow->findChild<QSpinBox*>("sbThreshold")->value(), 7);
}

ZYR_TEST_CLASS(TestAutomationWindow)
#include "tst_automationwindow.moc"
