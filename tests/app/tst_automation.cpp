#include "testregistry.h"

#include "automation/automationserver.h"
#include "logging.h"

#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QTcpSocket>

#include <memory>

#include <poll.h>
#include <sys/socket.h>

namespace {

// Polls the socket itself, leaving Qt's notifiers alone, until the peer's reset has arrived.
bool resetArrives(qintptr socket) {
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        pollfd watched{int(socket), 0, 0};
        if (::poll(&watched, 1, 10) == 1 && (watched.revents & (POLLERR | POLLHUP)) != 0)
            return true;
    }
    return false;
}

} // namespace

class TestAutomation : public QObject {
    Q_OBJECT

private slots:
    void parser_data();
    void parser();
    void serverSurvivesBadClients();
};

void TestAutomation::parser_data() {
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<bool>("target");
    QTest::addColumn<QString>("events"); // '|'-separated; replies without their CR LF
    auto row = [](const char* name, const QByteArrayList& chunks, const QString& events,
                  bool target = true) { QTest::newRow(name) << chunks << target << events; };
    const QByteArray zeros(62, '0'); // "I", these and one digit: 64 characters
    row("trimmed, inner blank counts", {"xx", " x\r\n", "x x"}, "M|M|M|M|M|M");
    row("up to NUL, modes", {QByteArray("D\0xx", 4), "dpb"}, "M|mode 0|mode 1|mode 2");
    row("commands, either case", {"(I500)(i7)(t10)"}, "I 500|I 7|T 10");
    row("split across reads", {"(T1", "0", ")x"}, "T 10|M");
    row("bad numbers", {"(I ab)(T-3)(I99999999999)"}, "I 0|T -3|I 0");
    row("invalid commands", {"(I)()(X5)"}, QString("#ERR;;Invalid command.|").repeated(3));
    row("64 characters", {"(I" + zeros + "5)"}, "I 5");
    row("65 characters, rest dropped", {"(I" + zeros + "50", QByteArray(1 << 20, 'x'), "(T1)x"},
        "#ERR;;Invalid command.|M");
    row("no target", {"(I5)"}, QString("#ERR;;No target system connected.|").repeated(4), false);
}

void TestAutomation::parser() {
    QFETCH(QByteArrayList, chunks);
    QFETCH(bool, target);
    QFETCH(QString, events);
    AutomationCommandParser parser;
    parser.setTargetCheck([target] { return target; });
    QStringList seen;
    auto valued = [&seen](const char* name) {
        return [&seen, name](int value) { seen << name + QString::number(value); };
    };
    connect(&parser, &AutomationCommandParser::measurementRequested, [&seen] { seen << "M"; });
    connect(&parser, &AutomationCommandParser::operationModeRequested, valued("mode "));
    connect(&parser, &AutomationCommandParser::iterationsRequested, valued("I "));
    connect(&parser, &AutomationCommandParser::thresholdRequested, valued("T "));
    connect(&parser, &AutomationCommandParser::replyReady,
            [&seen](const QByteArray& reply) { seen << QString::fromLatin1(reply.chopped(2)); });
    for (const QByteArray& chunk : chunks)
        parser.feed(chunk);
    QCOMPARE(seen.join('|'), events.endsWith('|') ? events.chopped(1) : events);
}

// Against a real socket (the program's window serves one client and refuses others through it):
// a client that never reads is dropped at the output cap; a peer reset found inside a log's
// write ends the client only from the event loop; a taken port is reported.
void TestAutomation::serverSurvivesBadClients() {
    AutomationServer server;
    QSignalSpy connected(&server, &AutomationServer::clientConnected);
    QSignalSpy disconnected(&server, &AutomationServer::clientDisconnected);
    QVERIFY(server.listen(0));
    QTcpSocket first, third;
    first.connectToHost(QHostAddress::LocalHost, server.port());
    QTRY_COMPARE_WITH_TIMEOUT(connected.count(), 1, 10000);
    QCOMPARE(server.client(), connected.value(0).value(0).value<QTcpSocket*>());

    Logging unread; // the first client reads nothing
    unread.setSocket(server.client());
    QSignalSpy failed(&unread, &Logging::writeFailed);
    const std::array<uint16_t, 256> bins{};
    for (int record = 0; record < 20000; ++record) // past the kernel's buffers too
        unread.writeHistogram(bins.data(), 0, 1, false, false);
    QCOMPARE(failed.count(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(disconnected.count(), 1, 10000);
    QVERIFY(server.client() == nullptr && server.isListening());

    third.connectToHost(QHostAddress::LocalHost, server.port());
    QTRY_COMPARE_WITH_TIMEOUT(connected.count(), 2, 10000);
    // Let go when the client leaves, as the window does; owned here so a failing check frees it.
    auto log = std::make_unique<Logging>();
    log->setSocket(server.client());
    connect(&server, &AutomationServer::clientDisconnected, log.get(), [&log] { log.reset(); });
    const linger reset{1, 0};
    setsockopt(int(third.socketDescriptor()), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    third.abort();
    // The reset reaches the server's socket without the event loop noticing.
    QVERIFY(resetArrives(server.client()->socketDescriptor()));
    log->writeTemperature(20);
    log->writeTemperature(21);
    QVERIFY(log->hasFailed() && disconnected.count() == 1);
    QTRY_VERIFY_WITH_TIMEOUT(log == nullptr && disconnected.count() == 2, 10000);

    AutomationServer taken;
    QSignalSpy listenFailed(&taken, &AutomationServer::listenFailed);
    QVERIFY(!taken.listen(server.port()) && !taken.isListening() && listenFailed.count() == 1);
}

ZYR_TEST_CLASS(TestAutomation)
#include "tst_automation.moc"
