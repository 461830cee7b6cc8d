#include "Serial/serialcomdriver.h"
#include "Serial/serialportenumerator.h"
#include "boardids.h"
#include "simulatedserialport.h"
#include "testregistry.h"

#include <QElapsedTimer>

#include <memory>

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

    void opensOnceAndCarriesBytesUnchanged() {
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
        QTRY_COMPARE(itsPort->received(), bytes);
        QVERIFY(itsPort->send(bytes));
        // Fetching the error neither aborts nor drops received bytes.
        QCOMPARE(driver.lastError(), 0);
        driver.setTimeout(5000);
        QCOMPARE(readBytes(driver, bytes.size()), bytes);
        QVERIFY(driver.close());
        QVERIFY(!driver.isOpen());
    }

    void readTimeOutFailsAndLastErrorReportsItOnce() {
        SerialComDriver driver(boardFilter());
        QVERIFY(driver.open());
        driver.setTimeout(50);
        char buffer[8];
        QCOMPARE(driver.readRaw(buffer, sizeof buffer), qint64(-3));
        QCOMPARE(driver.lastError(), -3);
        QCOMPARE(driver.lastError(), 0);
        QVERIFY(driver.isOpen());
        QCOMPARE(driver.writeRaw("x", 1), qint64(1));
    }

private:
    SerialPortEnumerator::Provider itsSystemProvider;
    std::unique_ptr<SimulatedSerialPort> itsPort;
};

ZYR_TEST_CLASS(TestSimulatedSerialPort)
#include "tst_simulatedserialport.moc"
