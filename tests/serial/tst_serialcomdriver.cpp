#include "Serial/serialcomdriver.h"
#include "Serial/serialportenumerator.h"
#include "Serial/serialportnumber.h"
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
};

ZYR_TEST_CLASS(TestSerialComDriver)
#include "tst_serialcomdriver.moc"
