#include "Serial/serialcomdriver.h"
#include "Serial/serialportenumerator.h"
#include "Serial/serialportnumber.h"
#include "assertionabort.h"
#include "testregistry.h"

using namespace ZyrCom::Serial;

namespace {

SerialPortRecord port(const QString& name, const QString& manufacturer = QString(),
                      const QString& description = QString(), quint16 vendorId = 0,
                      quint16 productId = 0) {
    SerialPortRecord record;
    record.portName = name;
    record.systemLocation = QStringLiteral("/dev/") + name;
    record.manufacturer = manufacturer;
    record.description = description;
    record.vendorId = vendorId;
    record.productId = productId;
    record.hasIds = vendorId != 0 || productId != 0;
    return record;
}

// Lists the given ports for as long as it lives.
class FakePorts {
public:
    explicit FakePorts(const QList<SerialPortRecord>& ports)
        : itsPrevious(SerialPortEnumerator::provider()) {
        SerialPortEnumerator::setProvider([ports] { return ports; });
    }
    ~FakePorts() { SerialPortEnumerator::setProvider(itsPrevious); }

private:
    SerialPortEnumerator::Provider itsPrevious;
};

QStringList portNames(const QList<SerialComDeviceInfo>& devices) {
    QStringList names;
    for (const SerialComDeviceInfo& device : devices)
        names.append(device.portName());
    return names;
}

void callNotImplemented(const QByteArray& operation) {
    SerialComDriver driver{SerialComDeviceInfo()};
    unsigned char buffer[4] = {};
    if (operation == "flush")
        driver.flush();
    else if (operation == "write")
        driver.write(buffer, 4);
    else if (operation == "read")
        driver.read(buffer, 4);
    else if (operation == "checkDeviceState")
        driver.checkDeviceState();
    else if (operation == "reserved")
        driver.reserved();
}

} // namespace

class TestSerialComDriver : public QObject {
    Q_OBJECT

private slots:
    void portNumber_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("listed");
        QTest::addColumn<int>("number");
        QTest::newRow("COM7") << "COM7" << true << 7;
        QTest::newRow("COM12") << "COM12" << true << 12;
        QTest::newRow("ttyACM0") << "ttyACM0" << true << 0;
        QTest::newRow("every COM removed") << "COM1COM2" << true << 12;
        QTest::newRow("no digits") << "ttyS" << false << 0;
        QTest::newRow("beyond 16 bits") << "ttyUSB65536" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
    }
    void portNumber() {
        QFETCH(QString, name);
        QFETCH(bool, listed);
        QFETCH(int, number);
        quint16 parsed = 0xBEEF;
        QCOMPARE(tryGetPortNumber(name, parsed), listed);
        if (listed)
            QCOMPARE(int(parsed), number);

        FakePorts ports({port(name)});
        const QList<SerialComDeviceInfo> devices = SerialComDriver::findDevices(nullptr);
        QCOMPARE(devices.size(), listed ? 1 : 0);
        if (listed) {
            QCOMPARE(devices.first().portName(), name);
            QCOMPARE(int(devices.first().portNumber()), number);
        }
    }

    void windowsPortNumber_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("number");
        QTest::newRow("COM7") << "COM7" << true << 7;
        QTest::newRow("COM12") << "COM12" << true << 12;
        QTest::newRow("lower case") << "com3" << false << 0;
        QTest::newRow("device node") << "ttyACM0" << false << 0;
        QTest::newRow("beyond signed 16 bits") << "COM32768" << false << 0;
    }
    void windowsPortNumber() {
        QFETCH(QString, name);
        QFETCH(bool, valid);
        QFETCH(int, number);
        quint16 parsed = 0;
        QCOMPARE(tryGetComPortNumber(name, parsed), valid);
        if (valid)
            QCOMPARE(int(parsed), number);
    }

    void findDevicesKeepsPlatformOrderAndFillsRecords() {
        FakePorts ports({port("COM12", "Maker A", "Port A", 0x1234, 0x0001), port("ttyS"),
                         port("COM7", "Maker B", "Port B", 0x16D0, 0x4D58)});
        const QList<SerialComDeviceInfo> devices = SerialComDriver::findDevices(nullptr);
        QCOMPARE(portNames(devices), QStringList({"COM12", "COM7"}));
        const SerialComDeviceInfo& second = devices.at(1);
        QCOMPARE(second.manufacturer(), QStringLiteral("Maker B"));
        QCOMPARE(second.description(), QStringLiteral("Port B"));
        QCOMPARE(second.vendorId(), quint16(0x16D0));
        QCOMPARE(second.productId(), quint16(0x4D58));
        QCOMPARE(second.portNumber(), quint16(7));

        const SerialComDeviceInfo emptyFilter;
        QCOMPARE(portNames(SerialComDriver::findDevices(&emptyFilter)),
                 QStringList({"COM12", "COM7"}));
    }

    void filter_data() {
        QTest::addColumn<int>("vendorId");
        QTest::addColumn<int>("productId");
        QTest::addColumn<QString>("manufacturer");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QStringList>("expected");
        const QStringList all = {"COM1", "COM2", "COM3"};
        QTest::newRow("vendor") << 0x16D0 << 0 << ""
                                << "" << QStringList({"COM1", "COM3"});
        QTest::newRow("vendor and product") << 0x16D0 << 0x4D58 << ""
                                            << "" << QStringList({"COM1"});
        QTest::newRow("manufacturer substring") << 0 << 0 << "rvan"
                                                << "" << QStringList({"COM1"});
        QTest::newRow("manufacturer other case") << 0 << 0 << "orvane"
                                                 << "" << QStringList();
        QTest::newRow("description other case") << 0 << 0 << ""
                                                << "virtual" << QStringList();
        QTest::newRow("all fields") << 0x16D0 << 0x4D58 << "Orvane"
                                    << "COM Port" << QStringList({"COM1"});
        QTest::newRow("nothing set") << 0 << 0 << ""
                                     << "" << all;
    }
    void filter() {
        QFETCH(int, vendorId);
        QFETCH(int, productId);
        QFETCH(QString, manufacturer);
        QFETCH(QString, description);
        QFETCH(QStringList, expected);
        FakePorts ports({port("COM1", "Orvane GmbH", "Virtual COM Port", 0x16D0, 0x4D58),
                         port("COM2", "Other Maker", "Modem", 0x2341, 0x0043),
                         port("COM3", "Third", "Virtual Port", 0x16D0, 0x0002)});
        SerialComDeviceInfo filter;
        filter.setVendorId(quint16(vendorId));
        filter.setProductId(quint16(productId));
        filter.setManufacturer(manufacturer);
        filter.setDescription(description);
        // Name and number are not part of the match.
        filter.setPortName(QStringLiteral("COM9"));
        filter.setPortNumber(9);
        QCOMPARE(portNames(SerialComDriver::findDevices(&filter)), expected);
    }

    void toString_data() {
        QTest::addColumn<QString>("manufacturer");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("portName");
        QTest::addColumn<int>("vendorId");
        QTest::addColumn<int>("productId");
        QTest::addColumn<QString>("expected");
        QTest::newRow("default")
            << ""
            << ""
            << "" << 0 << 0
            << "COM Device:  Manufacturer:   Description:   Port:   Vendor ID: 0  Product ID: 0";
        QTest::newRow("filled") << "Orvane"
                                << "Virtual COM Port"
                                << "COM7" << 0x16D0 << 0x4D58
                                << "COM Device:  Manufacturer: Orvane  Description: Virtual COM "
                                   "Port  Port: COM7  Vendor ID: 5840  Product ID: 19800";
    }
    void toString() {
        QFETCH(QString, manufacturer);
        QFETCH(QString, description);
        QFETCH(QString, portName);
        QFETCH(int, vendorId);
        QFETCH(int, productId);
        QFETCH(QString, expected);
        SerialComDeviceInfo info;
        info.setManufacturer(manufacturer);
        info.setDescription(description);
        info.setPortName(portName);
        info.setVendorId(quint16(vendorId));
        info.setProductId(quint16(productId));
        info.setPortNumber(7);
        QCOMPARE(info.toString(), expected);
        QCOMPARE(SerialComDeviceInfo(info).toString(), expected);
    }

    void openWithoutMatchingPortFails() {
        FakePorts ports({port("COM7", "Other", "Modem", 0x2341, 0x0043)});
        SerialComDeviceInfo filter;
        filter.setVendorId(0x16D0);
        SerialComDriver driver(filter);
        QVERIFY(!driver.open());
        QVERIFY(!driver.isOpen());
        QVERIFY(!driver.close());
    }

    void transfersWithoutPortLeaveLastErrorAlone() {
        SerialComDriver driver{SerialComDeviceInfo()};
        char buffer[4] = {};
        QCOMPARE(driver.writeRaw(buffer, 4), qint64(-2));
        QCOMPARE(driver.readRaw(buffer, 4), qint64(-3));
        QCOMPARE(driver.lastError(), 0);
    }

    void streamOperationsAreNotImplemented_data() {
        QTest::addColumn<QByteArray>("operation");
        for (const char* operation : {"flush", "write", "read", "checkDeviceState", "reserved"})
            QTest::newRow(operation) << QByteArray(operation);
    }
    void streamOperationsAreNotImplemented() {
        QFETCH(QByteArray, operation);
        ZYR_VERIFY_ASSERTION([operation] { callNotImplemented(operation); },
                             "Serial/serialcomdriver", "false", "not implemented.");
    }
};

ZYR_TEST_CLASS(TestSerialComDriver)
#include "tst_serialcomdriver.moc"
