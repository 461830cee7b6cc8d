#include "apptestsupport.h"
#include "testregistry.h"

#include "commands/getobjectscommand.h"
#include "devicestatusbar.h"
#include "mainwindow.h"
#include "simulatedevaluationboard.h"
#include "zyrstatusfield.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSpinBox>
#include <QTcpSocket>
#include <QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

// The program on a simulated board; a cycle measures the summed histogram only.
struct Program {
    Program() { box("cbSummed")->setChecked(true); }
    QCheckBox* box(const char* name) { return window.findChild<QCheckBox*>(name); }
    bool isLocal() { return window.findChild<QPushButton*>("pbStart")->isEnabled(); }
    // Those of the controls a client turns off that are off, by name.
    QString disabledControls() {
        QStringList disabled;
        for (const char* name : {"cbSaveData", "cbContinuousMode", "pbStart", "pbNewCalibration",
                                 "pbClearCalibration"})
            if (!window.findChild<QWidget*>(name)->isEnabled())
                disabled << name;
        return disabled.join(' ');
    }

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
    (void)QTest::qWaitFor(
        [&] {
            while (client.canReadLine() && result.size() < count)
                result << client.readLine().split(';').value(0);
            return result.size() == count;
        },
        10000);
    return result;
}

const QByteArrayList kCycle = {"#SUM", "#TMP", "#ITT", "#OBJ"};

// How a client leaves the program.
enum class Leaving {
    NotAtAll, // it stays connected; the program drops it
    ByReset,
    ByClosing,
};

// A script's connection: a blocking socket, used from a thread of its own, outside the program's
// event loop. A read gives up after a generous time rather than hang the test.
class ScriptConnection {
public:
    explicit ScriptConnection(quint16 port)
        : itsSocket(::socket(AF_INET, SOCK_STREAM, 0)) {
        const timeval patience{20, 0};
        setsockopt(itsSocket, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        itsConnected =
            ::connect(itsSocket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    }
    ~ScriptConnection() { ::close(itsSocket); }
    ScriptConnection(const ScriptConnection&) = delete;
    ScriptConnection& operator=(const ScriptConnection&) = delete;

    // Everything received up to the end of the first line starting with lineStart, or what came
    // before the program closed the connection or the patience ran out.
    QByteArray readThrough(const QByteArray& lineStart) {
        QByteArray received;
        for (;;) {
            const int at = received.startsWith(lineStart) ? 0 : received.indexOf("\n" + lineStart);
            if (at >= 0 && received.indexOf("\r\n", at + 1) >= 0)
                return received;
            char chunk[4096];
            const ssize_t count = itsConnected ? ::recv(itsSocket, chunk, sizeof chunk, 0) : 0;
            if (count <= 0)
                return received;
            received.append(chunk, int(count));
        }
    }
    // Reads until count lines starting with lineStart have come; how many came.
    int readLines(const QByteArray& lineStart, int count) {
        const QByteArray start = "\n" + lineStart;
        QByteArray pending = "\n"; // from the start of the line not yet ended
        int seen = 0;
        while (seen < count && itsConnected) {
            char chunk[65536];
            const ssize_t received = ::recv(itsSocket, chunk, sizeof chunk, 0);
            if (received <= 0)
                break;
            pending.append(chunk, int(received));
            const int lastLineStart = pending.lastIndexOf('\n');
            for (int at = pending.indexOf(start); at >= 0 && at < lastLineStart;
                 at = pending.indexOf(start, at + 1))
                ++seen;
            pending.remove(0, lastLineStart);
        }
        return seen;
    }
    // Everything received until stop is set, or until the program closes the connection.
    QByteArray readUntil(const std::atomic<bool>& stop) {
        QByteArray received;
        while (itsConnected && !stop) {
            pollfd readable{itsSocket, POLLIN, 0};
            if (::poll(&readable, 1, 50) <= 0)
                continue;
            char chunk[4096];
            const ssize_t count = ::recv(itsSocket, chunk, sizeof chunk, 0);
            if (count <= 0)
                break;
            received.append(chunk, int(count));
        }
        return received;
    }
    bool send(const QByteArray& bytes) {
        return ::send(itsSocket, bytes.constData(), size_t(bytes.size()), 0) == bytes.size();
    }
    // Whether the program closed the connection without a word.
    bool isClosedUnanswered() {
        char byte;
        return itsConnected && ::recv(itsSocket, &byte, 1, 0) == 0;
    }

private:
    int itsSocket;
    bool itsConnected = false;
};

// Joins a script's thread also when a check fails, asking it to stop after its round.
struct JoinedScript {
    ~JoinedScript() {
        stopping = true;
        thread.join();
    }
    std::thread& thread;
    std::atomic<bool>& stopping;
};

bool isGreeting(const QByteArray& received) {
    return received.startsWith("#VER;") && received.contains("\r\n#CAL;02;");
}

} // namespace

Q_DECLARE_METATYPE(Leaving)

class TestAutomationWindow : public QObject {
    Q_OBJECT

private slots:
    void clientDrivesTheProgram();
    void scriptReconnectingAtOnceIsAlwaysGreeted();
    void burstLeavesNoWorkBehind();
    void badClientLeavesTheProgramServing_data();
    void badClientLeavesTheProgramServing();
    void loadStartsNothingForTheScript();
};

// The greeting, commands reaching the form, one cycle's records in order, a second client
// refused without touching the first, and the controls back once the client has left. A script
// that closes and connects again at once is greeted each time, even while its last close still
// waits in the program's event loop.
void TestAutomationWindow::clientDrivesTheProgram() {
    Program program;
    auto* field = program.window.findChild<DeviceStatusBar*>()->automationStatusField();
    QCOMPARE(program.disabledControls(), QString());
    QTcpSocket first, second;
    QCOMPARE(tags(first, 2, &program), QByteArrayList({"#VER", "#CAL"}));
    QCOMPARE(field->text(), "Automation On");
    QCOMPARE(program.disabledControls(),
             "cbSaveData cbContinuousMode pbStart pbNewCalibration pbClearCalibration");
    QCOMPARE(tags(second, 0, &program), QByteArrayList());
    QTRY_COMPARE_WITH_TIMEOUT(second.state(), QAbstractSocket::UnconnectedState, 10000);
    first.write("(I500)(X5)x");
    QCOMPARE(tags(first, 5), QByteArrayList{"#ERR"} + kCycle);
    QCOMPARE(program.window.findChild<QSpinBox*>("sbIterations")->value(), 500);
    first.disconnectFromHost();
    QTRY_VERIFY_WITH_TIMEOUT(field->isHidden(), 10000);
    QCOMPARE(program.disabledControls(), QString());
    for (int attempt = 0; attempt < 50; ++attempt) {
        QTcpSocket client;
        QVERIFY2(tags(client, 2, &program) == QByteArrayList({"#VER", "#CAL"}),
                 qPrintable(QString("attempt %1").arg(attempt)));
        client.close();
    }
}

// A script outside the program closes and connects again without a pause, the program accepting
// its new connection before it has read the close, or the command sent just before it; it is
// greeted every time, and the command still counts. A second client while the first is still
// there is refused, and the first goes on being served.
void TestAutomationWindow::scriptReconnectingAtOnceIsAlwaysGreeted() {
    Program program;
    const quint16 port = program.window.automationPort();
    std::atomic<bool> finished{false}, stop{false};
    QString failure; // the script's first failure, read once it has finished
    std::thread script([&] {
        for (int round = 0; round < 200 && failure.isEmpty() && !stop; ++round) {
            ScriptConnection client(port);
            const QByteArray received = client.readThrough("#CAL;02");
            if (!isGreeting(received))
                failure = QString("round %1 got \"%2\"").arg(round).arg(received.constData());
            else if (round % 2 == 1) // often still unread when the next round connects
                client.send("(I" + QByteArray::number(300 + round) + ")");
        }
        if (failure.isEmpty()) {
            ScriptConnection first(port);
            const bool greeted = isGreeting(first.readThrough("#CAL;02"));
            ScriptConnection second(port);
            if (!greeted || !second.isClosedUnanswered())
                failure = "a second client was not refused";
            else if (!first.send("(X5)") ||
                     !first.readThrough("#ERR").endsWith("#ERR;;Invalid command.\r\n"))
                failure = "the first client is no longer served";
        }
        finished = true;
    });
    JoinedScript joined{script, stop};
    QTRY_VERIFY_WITH_TIMEOUT(finished, 180000);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QCOMPARE(program.window.findChild<QSpinBox*>("sbIterations")->value(), 300 + 199);
}

// Once a script has read the replies to a burst of measurement characters, nothing of the burst
// is left to do: the next client is greeted at once, after 8,000 characters about as soon as
// after 1,000.
void TestAutomationWindow::burstLeavesNoWorkBehind() {
    Program program;
    const quint16 port = program.window.automationPort();
    std::atomic<bool> finished{false}, stop{false};
    QString failure;
    qint64 waitMs[2] = {};
    const int sizes[2] = {1000, 8000};
    std::thread script([&] {
        auto client = std::make_unique<ScriptConnection>(port);
        bool greeted = isGreeting(client->readThrough("#CAL;02"));
        for (int i = 0; i < 2 && greeted && !stop; ++i) {
            client->send(QByteArray(sizes[i], 'x'));
            const int cycles = client->readLines("#OBJ;", sizes[i]);
            QElapsedTimer wait;
            wait.start();
            client = std::make_unique<ScriptConnection>(port);
            greeted = isGreeting(client->readThrough("#CAL;02"));
            waitMs[i] = wait.elapsed();
            if (cycles != sizes[i] || !greeted)
                failure = QString("%1 characters: %2 cycles, next client %3 after %4 ms")
                              .arg(sizes[i])
                              .arg(cycles)
                              .arg(greeted ? "greeted" : "not greeted")
                              .arg(waitMs[i]);
        }
        finished = true;
    });
    JoinedScript joined{script, stop};
    QTRY_VERIFY_WITH_TIMEOUT(finished, 300000);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    const QString waits = QString("greeted %1 ms after 1,000 and %2 ms after 8,000 characters")
                              .arg(waitMs[0])
                              .arg(waitMs[1]);
    // Compared with each other, as a busy machine stretches both.
    QVERIFY2(waitMs[1] < 3 * waitMs[0] + 500, qPrintable(waits));
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
        QVERIFY(QTest::qWaitFor([&bad] { return bad.bytesAvailable() > 0; }, 10000));
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

// While a script is connected only its characters measure: a load of a configuration with
// Continuous Mode ticked leaves it off, so nothing reaches the script unasked, and once the script
// has left, Start is there to press.
void TestAutomationWindow::loadStartsNothingForTheScript() {
    Program program;
    program.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&program.window));
    QCheckBox* continuous = program.box("cbContinuousMode");
    clickBox(continuous);
    QVERIFY(chooseMenuEntry(program.window, "File", "Save Configuration"));
    clickBox(continuous);
    const quint16 port = program.window.automationPort();
    std::atomic<bool> greeted{false}, answered{false}, finished{false}, stop{false};
    QByteArray unasked;
    std::thread script([&] {
        ScriptConnection client(port);
        greeted = isGreeting(client.readThrough("#CAL;02"));
        answered = true;
        unasked = client.readUntil(stop);
        finished = true;
    });
    JoinedScript joined{script, stop};
    QTRY_VERIFY_WITH_TIMEOUT(answered, 30000);
    QVERIFY(greeted);
    QVERIFY(chooseMenuEntry(program.window, "File", "Load Configuration"));
    QTest::qWait(1500);
    stop = true;
    QTRY_VERIFY_WITH_TIMEOUT(finished, 10000);
    QVERIFY2(unasked.isEmpty(), unasked.left(200).constData());
    QVERIFY(!continuous->isChecked());
    QTRY_VERIFY_WITH_TIMEOUT(program.isLocal(), 10000);
    QVERIFY(!continuous->isChecked());
}

ZYR_TEST_CLASS(TestAutomationWindow)
#include "tst_automationwindow.moc"
