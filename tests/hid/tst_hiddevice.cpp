#include "HidDevice/hidbackend.h"
#include "HidDevice/hidconstants.h"
#include "HidDevice/hiddevice.h"
#include "fakehidbackend.h"
#include "testregistry.h"

#include <QtTest>

using namespace ZyrHid;
using Transfer = FakeHidBackend::Transfer;

namespace {
const QByteArray kModulePath("fake1#vid_16d0&pid_4d58&mi_04");
constexpr quint16 kVendor = BoardIds::vendorId;
constexpr quint16 kProduct = BoardIds::productId;
} // namespace

Q_DECLARE_METATYPE(Transfer)

class TestHidDevice : public QObject {
    Q_OBJECT

private slots:
    void openResult_data();
    void openResult();
    void enumerationNeverPassesIndex63();
};

void TestHidDevice::openResult_data() {
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("reason"); // part of lastErrorString; none: empty
    const QString otherIds = "fake1#vid_16d0&pid_4d58&mi_04 is not 16d0:4d58";
    const QString noLengths = "gives no input or output report length";
    QTest::newRow("matching path") << "match" << int(HID_SUCCESS) << "";
    QTest::newRow("no path, one matches") << "first" << int(HID_SUCCESS) << "";
    QTest::newRow("null info") << "null" << int(HID_ERROR_NOT_OPEN) << "";
    QTest::newRow("already open") << "twice" << int(HID_ERROR_ALREADY_OPEN) << "";
    QTest::newRow("vendor id differs") << "vendor" << int(HID_ERROR_NOT_OPEN) << otherIds;
    QTest::newRow("product id differs") << "product" << int(HID_ERROR_NOT_OPEN) << otherIds;
    QTest::newRow("attributes unreadable") << "attributes" << int(HID_ERROR_NOT_OPEN) << otherIds;
    QTest::newRow("input length zero") << "input" << int(HID_ERROR_NOT_OPEN) << noLengths;
    QTest::newRow("output length zero") << "output" << int(HID_ERROR_NOT_OPEN) << noLengths;
    QTest::newRow("lengths unreadable") << "lengths" << int(HID_ERROR_NOT_OPEN) << noLengths;
    QTest::newRow("held by another program")
        << "held" << int(HID_ERROR_NOT_OPEN)
        << "cannot open HID interface fake1#vid_16d0&pid_4d58&mi_04: " + qt_error_string(EBUSY);
    QTest::newRow("path not present")
        << "missing" << int(HID_ERROR_NOT_OPEN) << "cannot open HID interface fake9#mi_04: ";
    // The only interface names the board's ids but has others.
    QTest::newRow("no path, nothing matches")
        << "unset path" << int(HID_ERROR_NOT_OPEN) << otherIds;
    QTest::newRow("no path, nothing listed")
        << "unlisted" << int(HID_ERROR_NOT_OPEN) << "no HID interface 16d0:4d58 is present";
}

void TestHidDevice::openResult() {
    QFETCH(QString, scenario);
    QFETCH(int, result);
    QFETCH(QString, reason);
    FakeHidBackend backend;
    const HidBackend::Scope scope(&backend);

    FakeHidBackend::Device& device = backend.addDevice(kModulePath);
    device.vendorId = scenario == "vendor" ? 0x1234 : kVendor;
    device.productId = scenario == "product" || scenario == "unset path" ? 0x1234 : kProduct;
    device.attributesFail = scenario == "attributes";
    device.inputLength = scenario == "input" ? 0 : 65;
    device.outputLength = scenario == "output" ? 0 : 65;
    device.lengthsFail = scenario == "lengths";
    device.heldElsewhere = scenario == "held";

    HidDevice hid;
    HidDeviceInfo info(kVendor, kProduct);
    if (scenario == "unlisted")
        backend.devices.clear();
    else if (scenario != "unset path" && scenario != "first")
        info.setPath(scenario == "missing" ? "fake9#mi_04" : kModulePath.constData());
    if (scenario == "twice")
        QCOMPARE(hid.open(&info), int(HID_SUCCESS));

    QCOMPARE(hid.open(scenario == "null" ? nullptr : &info), result);

    const bool open = result == HID_SUCCESS || result == HID_ERROR_ALREADY_OPEN;
    QCOMPARE(hid.isOpen(), open);
    QCOMPARE(int(hid.inputReportLength()), open ? 65 : 0);
    QCOMPARE(int(hid.outputReportLength()), open ? 65 : 0);
    QCOMPARE(backend.devices.value(0).open, open);
    QVERIFY2(reason.isEmpty() ? hid.lastErrorString().isEmpty()
                              : hid.lastErrorString().contains(reason),
             qPrintable(hid.lastErrorString()));
    if (!open)
        return;
    QCOMPARE(QByteArray(hid.deviceInfo().path()), kModulePath);

    // A read drops the report id and clears the rest of the buffer.
    QByteArray report(65, '\0');
    for (int i = 1; i < 65; ++i)
        report[i] = char(i);
    backend.reads.push_back({Transfer::Done, report});
    unsigned char buffer[100];
    std::memset(buffer, 0x77, sizeof buffer);
    unsigned int bytesRead = 0;
    QCOMPARE(hid.read(buffer, sizeof buffer, &bytesRead), int(HID_SUCCESS));
    QCOMPARE(bytesRead, 64u);
    QCOMPARE(int(buffer[0]), 1);
    QCOMPARE(int(buffer[63]), 64);
    for (unsigned int i = 64; i < sizeof buffer; ++i)
        QCOMPARE(int(buffer[i]), 0);
}

void TestHidDevice::enumerationNeverPassesIndex63() {
    FakeHidBackend backend;
    const HidBackend::Scope scope(&backend);
    for (int i = 0; i < 70; ++i)
        backend.addDevice("fake#" + QByteArray::number(i));
    QCOMPARE(HidDevice::enumerateDevices(kVendor, kProduct).size(), 64);
    QCOMPARE(*std::max_element(backend.queriedIndexes.begin(), backend.queriedIndexes.end()), 63u);

    backend.queriedIndexes.clear();
    QByteArray path;
    QVERIFY(!HidDevice::getDevicePath(64, &path));
    QVERIFY(backend.queriedIndexes.isEmpty());

    // Nor does opening without a path, when no interface matches.
    for (FakeHidBackend::Device& device : backend.devices)
        device.productId = 0x0001;
    HidDevice hid;
    HidDeviceInfo info(kVendor, kProduct);
    QCOMPARE(hid.open(&info), int(HID_ERROR_NOT_OPEN));
    QCOMPARE(*std::max_element(backend.queriedIndexes.begin(), backend.queriedIndexes.end()), 63u);
}

ZYR_TEST_CLASS(TestHidDevice)

#include "tst_hiddevice.moc"
