#include "Serial/serialcomdriver.h"
#include "Serial/serialportenumerator.h"
#include "boardids.h"
#include "comreceiver.h"
#include "simulatedserialport.h"
#include "testregistry.h"

#include <QElapsedTimer>

#include <atomic>
#include <memory>

using namespace ZyrCom::Serial;

namespace {

constexpr uint kReadTimeoutMs = 40;
// One pass: a read that waits out its time-out, then the pause.
constexpr qint64 kPollPeriodMs = kReadTimeoutMs + qint64(ComReceiver::pausePerPassMs);

// The main thread runs no event loop while the receiver reads, so the serial port is used by
// the receiver's thread alone; the signal is counted where it is emitted.
struct Rig {
    Rig()
        : previousProvider(SerialPortEnumerator::provider()) {
        SerialPortEnumerator::setProvider([] { return QList<SerialPortRecord>(); });
        port = std::make_unique<ZyrSim::SimulatedSerialPort>();
        SerialComDeviceInfo filter;
        filter.setVendorId(ZyrHid::BoardIds::vendorId);
        filter.setProductId(ZyrHid::BoardIds::productId);
        driver = std::make_unique<SerialComDriver>(filter);
        driver->setTimeout(kReadTimeoutMs);
        QObject::connect(
            &receiver, &ComReceiver::dataReceived, &receiver, [this] { ++emitted; },
            Qt::DirectConnection);
    }
    ~Rig() {
        receiver.stop();
        receiver.wait();
        driver.reset();
        port.reset();
        SerialPortEnumerator::setProvider(previousProvider);
    }

    bool plugAndStart() {
        if (!port->plug() || !driver->open())
            return false;
        receiver.setDevice(driver.get());
        receiver.start();
        // The first pass discards what waited in the port: send until text gets through.
        QElapsedTimer elapsed;
        elapsed.start();
        while (emitted == 0 && elapsed.elapsed() < 5000) {
            port->send("~");
            QThread::msleep(kPollPeriodMs);
        }
        return waitForText("~");
    }

    // Takes text until it ends with expected; false after five seconds.
    bool waitForText(const QString& expected) {
        QElapsedTimer elapsed;
        elapsed.start();
        taken.clear();
        while (elapsed.elapsed() < 5000) {
            taken += receiver.takeData();
            if (taken.endsWith(expected))
                return true;
            QThread::msleep(5);
        }
        return false;
    }

    SerialPortEnumerator::Provider previousProvider;
    std::unique_ptr<ZyrSim::SimulatedSerialPort> port;
    std::unique_ptr<SerialComDriver> driver;
    ComReceiver receiver;
    std::atomic<int> emitted{0};
    QString taken;
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
        QTest::newRow("UTF-8") << QByteArray("Gr\xC3\xBC\xC3\x9F"
                                             "e")
                               << QStringLiteral("Grüße");
        // More than one read holds: the text arrives whole, over several passes.
        QTest::newRow("longer than one read")
            << QByteArray(3 * ComReceiver::readSize + 7, 'x')
            << QString(3 * ComReceiver::readSize + 7, QLatin1Char('x'));
    }
    void textArrives() {
        QFETCH(QByteArray, sent);
        QFETCH(QString, text);
        Rig rig;
        QVERIFY(rig.plugAndStart());
        const int emittedBefore = rig.emitted;
        QVERIFY(rig.port->send(sent));
        QVERIFY2(rig.waitForText(text), qPrintable(rig.taken));
        QVERIFY(rig.emitted > emittedBefore);
        // Nothing follows: bytes after a zero byte are dropped, and taken text is gone.
        QThread::msleep(2 * kPollPeriodMs);
        QCOMPARE(rig.taken + rig.receiver.takeData(), text);
    }

    void stopEndsWithinOnePollPeriod_data() {
        QTest::addColumn<bool>("withDevice");
        QTest::newRow("no device") << false;
        QTest::newRow("reading a device") << true;
    }
    void stopEndsWithinOnePollPeriod() {
        QFETCH(bool, withDevice);
        Rig rig;
        if (withDevice) {
            QVERIFY(rig.plugAndStart());
        } else {
            rig.receiver.start();
            QThread::msleep(50);
            // Cycling without a device reads and emitted nothing.
            QCOMPARE(rig.emitted.load(), 0);
            QCOMPARE(rig.receiver.takeData(), QString());
        }
        QElapsedTimer elapsed;
        elapsed.start();
        rig.receiver.stop();
        // Slack for a loaded machine and the sanitizers.
        QVERIFY(rig.receiver.wait(unsigned(kPollPeriodMs + 200)));
        QVERIFY2(elapsed.elapsed() <= kPollPeriodMs + 100,
                 qPrintable(QString::number(elapsed.elapsed())));
    }
};

ZYR_TEST_CLASS(TestComReceiver)
#include "tst_comreceiver.moc"
