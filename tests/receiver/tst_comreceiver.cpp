#include "Serial/serialcomdriver.h"
#include "boardids.h"
#include "comreceiver.h"
#include "simulatedevaluationboard.h"
#include "testregistry.h"

#include <QDeadlineTimer>

#include <atomic>

namespace {

constexpr uint kReadTimeoutMs = 40;
// One pass: a read that waits out its time-out, then the pause.
constexpr qint64 kPollPeriodMs = kReadTimeoutMs + qint64(ComReceiver::pausePerPassMs);
// For what must happen: generous, for a loaded machine and the sanitizers.
constexpr int kDeadlineMs = 10000;

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
    // The first pass discards what waited in the port: sends until text gets through, then a
    // marker, and drops everything up to the marker.
    bool start() {
        if (!driver.open())
            return false;
        receiver.setDevice(&driver);
        receiver.start();
        if (!receives() || !board.serialPort().send("!"))
            return false;
        const QDeadlineTimer deadline(kDeadlineMs);
        QString drained;
        while (!drained.endsWith('!') && !deadline.hasExpired()) {
            QThread::msleep(5);
            drained += receiver.takeData();
        }
        return drained.endsWith('!');
    }
    // Sends until the receiver reports text.
    bool receives() {
        const int before = emitted;
        const QDeadlineTimer deadline(kDeadlineMs);
        while (emitted == before && !deadline.hasExpired() && board.serialPort().send("~"))
            QThread::msleep(kPollPeriodMs);
        return emitted > before;
    }
    // The stop request ends the thread at its next pass, whatever the read in progress.
    bool stops() {
        receiver.stop();
        return receiver.wait(QDeadlineTimer(kDeadlineMs));
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
        const QDeadlineTimer deadline(kDeadlineMs);
        while (!taken.endsWith(text) && !deadline.hasExpired()) {
            QThread::msleep(5);
            taken += rig.receiver.takeData();
        }
        QVERIFY(rig.emitted > emittedBefore);
        // Nothing follows: bytes after a zero byte are dropped, and taken text is gone.
        QThread::msleep(2 * kPollPeriodMs);
        QCOMPARE(taken + rig.receiver.takeData(), text);
        QVERIFY(rig.stops());
    }

    // A stop made before the thread begins ends that run; each later start runs again, idle
    // without a device and polling with one.
    void stopAndRestart() {
        Rig rig;
        rig.receiver.stop();
        rig.receiver.start();
        QVERIFY(rig.receiver.wait(QDeadlineTimer(kDeadlineMs)));
        rig.receiver.start();
        QThread::msleep(50);
        QVERIFY(rig.receiver.isRunning());
        QCOMPARE(rig.emitted.load(), 0);
        QCOMPARE(rig.receiver.takeData(), QString());
        QVERIFY(rig.stops());
        QVERIFY(rig.start());
        for (int restart = 0; restart < 2; ++restart) {
            QVERIFY(rig.stops());
            rig.receiver.start();
            // A new run first discards what waits in the port.
            QVERIFY(rig.receives() && !rig.receiver.takeData().isEmpty());
        }
        QVERIFY(rig.stops());
    }
};

ZYR_TEST_CLASS(TestComReceiver)
#include "tst_comreceiver.moc"
