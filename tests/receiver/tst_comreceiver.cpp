#include "Serial/serialcomdriver.h"
#include "boardids.h"
#include "comreceiver.h"
#include "simulatedevaluationboard.h"
#include "testregistry.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>

#include <atomic>

namespace {

constexpr uint kReadTimeoutMs = 40;
// One pass: a read that waits out its time-out, then the pause.
constexpr qint64 kPollPeriodMs = kReadTimeoutMs + qint64(ComReceiver::pausePerPassMs);

ZyrCom::Serial::SerialComDeviceInfo boardFilter() {
    ZyrCom::Serial::SerialComDeviceInfo filter;
    filter.setVendorId(ZyrHid::BoardIds::vendorId);
    filter.setProductId(ZyrHid::BoardIds::productId);
    return filter;
}

// The main thread runs no event loop while the receiver reads, so the serial port is used by
// the receiver's thread alone; the signal is counted where it is emitted.
struct Rig {
    Rig() {
        driver.setTimeout(kReadTimeoutMs);
        QObject::connect(
            &receiver, &ComReceiver::dataReceived, &receiver, [this] { ++emitted; },
            Qt::DirectConnection);
    }
    // The first pass discards what waited in the port: sends until text gets through, then
    // lets the rest arrive and drops it.
    bool start() {
        if (!driver.open())
            return false;
        receiver.setDevice(&driver);
        receiver.start();
        for (int i = 0; emitted == 0 && i < 100 && board.serialPort().send("~"); ++i)
            QThread::msleep(kPollPeriodMs);
        QThread::msleep(2 * kPollPeriodMs);
        return !receiver.takeData().isEmpty();
    }
    // Slack for a loaded machine and the sanitizers.
    bool stopsWithinOnePollPeriod() {
        QElapsedTimer elapsed;
        elapsed.start();
        receiver.stop();
        return receiver.wait(unsigned(kPollPeriodMs + 200)) &&
               elapsed.elapsed() <= kPollPeriodMs + 100;
    }

    ZyrSim::SimulatedEvaluationBoard board;
    ZyrCom::Serial::SerialComDriver driver{boardFilter()};
    ComReceiver receiver;
    std::atomic<int> emitted{0};
};

} // namespace

class TestComReceiver : public QObject {
    Q_OBJECT

private slots:
    void textArrives_data() {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << QByteArray("hello board") << QStringLiteral("hello board");
        QTest::newRow("cut at the first zero byte")
            << QByteArray("abc\0e", 5) << QStringLiteral("abc");
        QTest::newRow("UTF-8") << QByteArray("Gr\xC3\xBC\xC3\x9F") << QStringLiteral("Grüß");
        // More than one read holds: the text arrives whole, over several passes.
        QTest::newRow("longer than one read")
            << QByteArray(3 * ComReceiver::readSize + 7, 'x')
            << QString(3 * ComReceiver::readSize + 7, QLatin1Char('x'));
    }
    void textArrives() {
        QFETCH(QByteArray, sent);
        QFETCH(QString, text);
        Rig rig;
        QVERIFY(rig.start());
        const int emittedBefore = rig.emitted;
        QVERIFY(rig.board.serialPort().send(sent));
        QString taken;
        for (int i = 0; !taken.endsWith(text) && i < 1000; ++i) {
            QThread::msleep(5);
            taken += rig.receiver.takeData();
        }
        QVERIFY(rig.emitted > emittedBefore);
        // Nothing follows: bytes after a zero byte are dropped, and taken text is gone.
        QThread::msleep(2 * kPollPeriodMs);
        QCOMPARE(taken + rig.receiver.takeData(), text);
        QVERIFY(rig.stopsWithinOnePollPeriod());
    }

    void withoutDeviceCyclesIdleAndStops() {
        Rig rig;
        rig.receiver.start();
        QThread::msleep(50);
        QCOMPARE(rig.emitted.load(), 0);
        QCOMPARE(rig.receiver.takeData(), QString());
        QVERIFY(rig.stopsWithinOnePollPeriod());
    }

    void stopBeforeTheThreadBeginsEndsIt() {
        Rig rig;
        rig.receiver.stop();
        rig.receiver.start();
        QVERIFY(rig.receiver.wait(kGenerousWaitMs));
    }

    void restartedReceiverPollsAgain() {
        Rig rig;
        QVERIFY(rig.start());
        for (int restart = 0; restart < 2; ++restart) {
            rig.receiver.stop();
            QVERIFY(rig.receiver.wait(kGenerousWaitMs));
            rig.receiver.start();
            QVERIFY(receivesAgain(rig));
            QVERIFY(rig.receiver.isRunning());
        }
        rig.receiver.stop();
        QVERIFY(rig.receiver.wait(kGenerousWaitMs));
    }

private:
    static constexpr unsigned long kGenerousWaitMs = 10000;

    // Sends until the receiver reports text; a new run first discards what waits in the port.
    static bool receivesAgain(Rig& rig) {
        const int before = rig.emitted;
        const QDeadlineTimer deadline{qint64(kGenerousWaitMs)};
        while (rig.emitted == before && !deadline.hasExpired() && rig.board.serialPort().send("~"))
            QThread::msleep(kPollPeriodMs);
        return rig.emitted > before && !rig.receiver.takeData().isEmpty();
    }
};

ZYR_TEST_CLASS(TestComReceiver)
#include "tst_comreceiver.moc"
