#include "Serial/serialcomdriver.h"
#include "Serial/serialportenumerator.h"
#include "boardids.h"
#include "messagecapture.h"
#include "simulatedserialport.h"
#include "testregistry.h"

#include <QSocketNotifier>

#include <memory>

#include <fcntl.h>
#include <unistd.h>

using namespace ZyrCom::Serial;
using ZyrSim::SimulatedSerialPort;

namespace {

SerialComDeviceInfo boardFilter() {
    SerialComDeviceInfo filter;
    filter.setVendorId(ZyrHid::BoardIds::vendorId);
    filter.setProductId(ZyrHid::BoardIds::productId);
    return filter;
}

// Reads until count bytes came or a read fails.
QByteArray readBytes(SerialComDriver& driver, int count) {
    QByteArray bytes;
    char buffer[64];
    while (bytes.size() < count) {
        const qint64 got =
            driver.readRaw(buffer, qMin<qint64>(sizeof buffer, count - bytes.size()));
        if (got < 0)
            break;
        bytes.append(buffer, int(got));
    }
    return bytes;
}

// Runs the event loop until it has handled what the kernel reports ready on the process's
// descriptors by now, without reading from them: a pipe made readable now is reported by the
// same poll as every descriptor that is ready already.
bool eventLoopHandledWhatIsReadyNow() {
    int pipeFds[2] = {-1, -1};
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return false;
    const char byte = 0;
    bool handled = false;
    if (::write(pipeFds[1], &byte, 1) == 1) {
        QSocketNotifier readable(pipeFds[0], QSocketNotifier::Read);
        QObject::connect(&readable, &QSocketNotifier::activated, [&] {
            handled = true;
            readable.setEnabled(false);
        });
        handled = QTest::qWaitFor([&handled] { return handled; }, 10000);
    }
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    return handled;
}

} // namespace

class TestSimulatedSerialPort : public QObject {
    Q_OBJECT

private slots:
    void init() {
        // Only the simulated port is listed, whatever the machine has.
        itsSystemProvider = SerialPortEnumerator::provider();
        SerialPortEnumerator::setProvider([] { return QList<SerialPortRecord>(); });
        itsPort = std::make_unique<SimulatedSerialPort>();
        QVERIFY(itsPort->plug());
    }
    void cleanup() {
        itsPort.reset();
        SerialPortEnumerator::setProvider(itsSystemProvider);
    }

    void opensOnceCarriesBytesUnchangedAndTimesOut() {
        SerialComDriver driver(boardFilter());
        QVERIFY(driver.open());
        QVERIFY(!driver.open()); // a second open is refused and the first kept
        QVERIFY(driver.isOpen());
        ZyrSim::SerialLineCoding coding;
        QVERIFY(itsPort->tryGetLineCoding(coding));
        QCOMPARE(coding.baudRate, 19200);
        QCOMPARE(coding.dataBits, 8);
        QCOMPARE(coding.stopBits, 2);
        QVERIFY(!coding.parity);

        // Control characters a terminal would translate or act on.
        const QByteArray bytes("\x00\x03\x0d\x0a\x11\x13\x1a\x7f\xff hello", 14);
        QCOMPARE(driver.writeRaw(bytes.constData(), bytes.size()), qint64(bytes.size()));
        QTRY_COMPARE_WITH_TIMEOUT(itsPort->received(), bytes, 10000);
        QVERIFY(itsPort->send(bytes));
        // Fetching the error neither aborts nor drops received bytes.
        QCOMPARE(driver.lastError(), 0);
        driver.setTimeout(5000);
        QCOMPARE(readBytes(driver, bytes.size()), bytes);

        // A read that times out fails, its error is fetched once, and the port stays usable.
        driver.setTimeout(50);
        char buffer[8];
        QCOMPARE(driver.readRaw(buffer, sizeof buffer), qint64(-3));
        QCOMPARE(driver.lastError(), -3);
        QCOMPARE(driver.lastError(), 0);
        QVERIFY(driver.isOpen());
        QCOMPARE(driver.writeRaw("x", 1), qint64(1));
        QVERIFY(driver.close());
        QVERIFY(!driver.isOpen());
    }

    void deviceLostWithBytesBufferedFailsTheRead() {
        SerialComDriver driver(boardFilter());
        QVERIFY(driver.open());
        driver.setTimeout(5000);
        QVERIFY(itsPort->send("ab"));
        char buffer[8];
        QCOMPARE(driver.readRaw(buffer, 1), qint64(1)); // "b" waits in the port's buffer
        QCOMPARE(buffer[0], 'a');

        itsPort->unplug();
        // The port notices the hang-up, which the kernel signals at once, in the event loop.
        QVERIFY(eventLoopHandledWhatIsReadyNow());
        QCOMPARE(driver.readRaw(buffer, sizeof buffer), qint64(-3));
        QCOMPARE(driver.lastError(), -3);
    }

    void deviceLostFailsWritesAndReopensWhenBack() {
        MessageCapture serial("zyr.serial");
        SerialComDriver driver(boardFilter());
        driver.setTimeout(5000);
        QVERIFY(driver.open());
        itsPort->unplug();
        QCOMPARE(driver.writeRaw("x", 1), qint64(-2));
        QCOMPARE(driver.lastError(), -2);

        QVERIFY(driver.close());
        QVERIFY(!driver.open());
        QVERIFY(!driver.open()); // the supervisor's retry: nothing new to say
        QCOMPARE(serial.messages, QStringList({"no serial port 16d0:4d58 is present"}));

        QVERIFY(itsPort->plug());
        QVERIFY(driver.open());
        QVERIFY(driver.isOpen());
        QCOMPARE(driver.writeRaw("hello", 5), qint64(5));
        QTRY_COMPARE_WITH_TIMEOUT(itsPort->received(), QByteArray("hello"), 10000);
        QVERIFY(itsPort->send("back"));
        QCOMPARE(readBytes(driver, 4), QByteArray("back"));
        QCOMPARE(serial.messages.size(), 1);
    }

    void openFailureIsWrittenOncePerChange() {
        MessageCapture serial("zyr.serial");
        // Listed, but its device node is gone.
        itsPort.reset();
        SerialPortRecord gone;
        gone.portName = QStringLiteral("ttyZyrGone7");
        gone.systemLocation = QStringLiteral("/dev/ttyZyrGone7");
        gone.vendorId = ZyrHid::BoardIds::vendorId;
        gone.productId = ZyrHid::BoardIds::productId;
        gone.hasIds = true;
        SerialPortEnumerator::setProvider([gone] { return QList<SerialPortRecord>({gone}); });

        SerialComDriver driver(boardFilter());
        for (int attempt = 0; attempt < 3; ++attempt)
            QVERIFY(!driver.open());
        QCOMPARE(serial.messages.size(), 1);
        QVERIFY2(serial.messages.first().startsWith("cannot open serial port ttyZyrGone7: "),
                 qPrintable(serial.messages.first()));
        QVERIFY(serial.messages.first().size() > 37); // with the port's own reason
    }

private:
    SerialPortEnumerator::Provider itsSystemProvider;
    std::unique_ptr<SimulatedSerialPort> itsPort;
};

ZYR_TEST_CLASS(TestSimulatedSerialPort)
#include "tst_simulatedserialport.moc"
