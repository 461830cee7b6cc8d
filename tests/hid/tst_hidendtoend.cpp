#include "boardrig.h"
#include "testregistry.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QtTest>

#include <cerrno>

using ZyrSim::BoardInterface;
using ZyrSim::FirmwareReply;
using ZyrSim::FirmwareRequest;
using ZyrSim::SimulatedBoard;
using ZyrSim::TransportFault;

Q_DECLARE_METATYPE(TransportFault)
Q_DECLARE_METATYPE(BoardInterface)

namespace {

bool firmwareNumberReads(BoardRig& rig) {
    TestComObject command(SimulatedBoard::firmwareNumberProtocol, {}, 3);
    return rig.run(command) == 0 && command.valid() && command.status() == 0 &&
           command.reply == SimulatedBoard::firmwareNumber();
}

} // namespace

class TestHidEndToEnd : public QObject {
    Q_OBJECT

private slots:
    void exchanges_data();
    void exchanges();
    void fault_data();
    void fault();
};

void TestHidEndToEnd::exchanges_data() {
    QTest::addColumn<BoardInterface>("interface");
    QTest::newRow("control interface") << BoardInterface::Control;
    QTest::newRow("module interface") << BoardInterface::Module;
}

void TestHidEndToEnd::exchanges() {
    QFETCH(BoardInterface, interface);
    BoardRig rig(QString(), interface);
    QVERIFY(rig.stream.isOpen());
    QVERIFY(firmwareNumberReads(rig));
    QVERIFY(firmwareNumberReads(rig)); // and again, with the next counter
    QCOMPARE(rig.driver.checkDeviceState(), 4);

    // An unknown protocol gets a quick reply with an error status and no payload.
    TestComObject unknown(0x42, QByteArray("\x01\x02", 2), 16);
    QCOMPARE(rig.run(unknown), 0);
    QVERIFY(unknown.valid());
    QCOMPARE(static_cast<unsigned char>(unknown.status()),
             ZyrSim::FirmwareTable::unknownProtocolStatus);
    QVERIFY(unknown.reply.isEmpty());

    // A reply of many reports arrives whole.
    QByteArray bins(512, '\0');
    for (int i = 0; i < bins.size(); ++i)
        bins[i] = char(i * 13);
    rig.board->board().firmware(interface).setHandler(
        1, [bins](const FirmwareRequest& request) -> std::optional<FirmwareReply> {
            return FirmwareReply{0, bins.left(int(request.replySize)), std::nullopt, 0};
        });
    TestComObject histogram(1, QByteArray("\x03\x00", 2), 512);
    QCOMPARE(rig.run(histogram), 0);
    QVERIFY(histogram.valid());
    QCOMPARE(rig.requests.last().payload, QByteArray("\x03\x00", 2));
    QCOMPARE(histogram.reply, bins);

    // The interface is held: a second driver is refused, and the first keeps its channel.
    ZyrHid::HidComDriver second(BoardRig::deviceInfo(interface));
    QTest::ignoreMessage(
        QtWarningMsg,
        QRegularExpression(QRegularExpression::escape(": " + qt_error_string(EBUSY)) + '$'));
    QVERIFY(!second.open());
    QVERIFY(firmwareNumberReads(rig));
    rig.stream.close();
    QVERIFY(second.open());
    second.close();
}

void TestHidEndToEnd::fault_data() {
    QTest::addColumn<TransportFault>("fault");
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("status");
    QTest::newRow("no reply") << TransportFault::NoReply << -3 << 1;
    QTest::newRow("reply for another protocol") << TransportFault::WrongProtocol << -4 << 2;
    QTest::newRow("reply longer than asked") << TransportFault::ReplyTooLong << -1 << 1;
    QTest::newRow("stale reports first") << TransportFault::StaleReports << 0 << 0;
    QTest::newRow("zero-count report first") << TransportFault::ZeroCountReport << 0 << 0;
    QTest::newRow("endless wrong counters") << TransportFault::EndlessWrongCounter << -3 << 1;
    // The board's other interface is still there: a failed transfer, not a lost channel.
    QTest::newRow("interface unplugged") << TransportFault::Unplugged << -2 << 1;
}

// Each fault gives its error within the read time-out, and the next exchange succeeds.
void TestHidEndToEnd::fault() {
    QFETCH(TransportFault, fault);
    QFETCH(int, error);
    QFETCH(int, status);

    BoardRig rig;
    rig.driver.setReadTimeout(50);
    rig.driver.setWriteTimeout(50);
    rig.board->board().setFault(BoardInterface::Module, fault);

    QElapsedTimer timer;
    timer.start();
    TestComObject command(SimulatedBoard::firmwareNumberProtocol, {}, 3);
    QCOMPARE(rig.run(command), error);
    // Far beyond the 50 ms time-outs, for a loaded machine: only a wait without end fails.
    QVERIFY2(timer.elapsed() < 10000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(int(command.status()), status);
    QCOMPARE(command.valid(), error == 0);
    if (error == 0)
        QCOMPARE(command.reply, SimulatedBoard::firmwareNumber());

    rig.board->board().setFault(BoardInterface::Module, TransportFault::None);
    if (fault == TransportFault::Unplugged) {
        QVERIFY(!rig.stream.isOpen());
        QVERIFY(rig.stream.open());
    }
    QVERIFY(firmwareNumberReads(rig));
}

ZYR_TEST_CLASS(TestHidEndToEnd)

#include "tst_hidendtoend.moc"
