#include "Communication/comstreamformatter.h"
#include "HidDevice/hidbackend.h"
#include "fakehidbackend.h"
#include "hid/hidcomdriver.h"
#include "testregistry.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace ZyrHid;
using ZyrCore::Communication::ComStreamFormatter;
using Transfer = FakeHidBackend::Transfer;

namespace {

const QByteArray kModulePath("fake1#vid_16d0&pid_4d58&mi_04");

QByteArray pattern(int size, int seed = 0) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + seed) & 0xFF);
    return bytes;
}

unsigned char* bytesOf(QByteArray& data) {
    return reinterpret_cast<unsigned char*>(data.data());
}

HidComDeviceInfo boardInfo(const char* filter) {
    HidComDeviceInfo info(BoardIds::vendorId, BoardIds::productId);
    info.setPath(filter);
    return info;
}

// A fake backend with the board's module interface and a driver for the filtered interface.
struct Rig {
    explicit Rig(const char* filter = "mi_04")
        : scope(&backend)
        , driver(boardInfo(filter)) {
        backend.addDevice(kModulePath);
        driver.setStreamFormatter(&formatter);
        driver.setReadTimeout(50);
    }

    // Opens the driver and sends a one-byte request with report counter 1.
    bool openAndSendRequest() {
        QByteArray request(1, '\x01');
        return driver.open() && driver.write(bytesOf(request), 1) == 0 && driver.flush() == 0;
    }

    FakeHidBackend backend;
    HidBackend::Scope scope;
    ComStreamFormatter formatter;
    HidComDriver driver;
};

} // namespace

class TestHidComDriver : public QObject {
    Q_OBJECT

private slots:
    void largestFrameOverflowAndCounters();
    void onlyFittingReportsEndARead();
    void payloadCountBeyondReport_data();
    void payloadCountBeyondReport();
    void filterPicksTheInterface();
    void nonZeroReportIds();
};

void TestHidComDriver::largestFrameOverflowAndCounters() {
    Rig rig;
    QVERIFY(rig.driver.open());
    QVERIFY(rig.driver.open());         // changes nothing
    QCOMPARE(rig.backend.openCalls, 2); // one for the path search, one for the device
    QVERIFY(rig.backend.devices[0].open);
    QByteArray tooBig = pattern(1094);
    QCOMPARE(rig.driver.write(bytesOf(tooBig), 1094), -5);
    QVERIFY(rig.backend.writes.isEmpty());
    QCOMPARE(rig.driver.lastError(), -5);

    QByteArray frame = pattern(1093);
    QCOMPARE(rig.driver.write(bytesOf(frame), 1093), 0);
    QCOMPARE(rig.backend.writes.size(), 17);
    QCOMPARE(rig.driver.flush(), 0);
    QCOMPARE(rig.backend.writes.size(), 18);
    QByteArray sent;
    for (const QByteArray& report : rig.backend.writes) {
        QCOMPARE(report.size(), 65);
        sent += report.mid(4, report[2]);
    }
    // Report id 0, counter 1, 61 payload bytes, reserved byte; the last report padded with CB.
    QCOMPARE(rig.backend.writes[0].left(5), QByteArray::fromHex("00013D00") + frame.left(1));
    QCOMPARE(int(rig.backend.writes.last()[2]), 56);
    QCOMPARE(rig.backend.writes.last().mid(60), QByteArray(5, '\xCB'));
    QCOMPARE(sent, frame);

    // Every report takes the next counter, across frames; 14 wraps to 0.
    QCOMPARE(rig.driver.write(bytesOf(frame), 1), 0);
    QCOMPARE(rig.driver.flush(), 0);
    QList<int> counters;
    for (const QByteArray& report : rig.backend.writes)
        counters.append(report[1]);
    QCOMPARE(counters, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0, 1, 2, 3, 4}));
}

// Zero-count reports and reports with another counter never satisfy a read, however many come:
// it fails when its one time-out ends.
void TestHidComDriver::onlyFittingReportsEndARead() {
    Rig rig;
    QVERIFY(rig.openAndSendRequest());
    rig.backend.reads.push_back({Transfer::Done, replyReport(1, 0, 0, {})});
    rig.backend.reads.push_back({Transfer::Done, replyReport(1, 5, 0, "hello")});
    QByteArray reply(5, '\0');
    QCOMPARE(rig.driver.read(bytesOf(reply), 5), 0);
    QCOMPARE(reply, QByteArray("hello"));

    rig.backend.reads.push_back({Transfer::Done, replyReport(1, 0, 0, {})});
    rig.backend.readSource = [] {
        return FakeHidBackend::ScriptedRead{Transfer::Done, replyReport(7, 3, 0, "bad")};
    };
    const int readsBefore = rig.backend.readTimeouts.size();
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(rig.driver.read(bytesOf(reply), 3), -3);
    // A read that began its time-out anew with every report would never end; the limit is
    // generous for a loaded machine and the sanitizers.
    QVERIFY2(timer.elapsed() < 10000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(rig.backend.readTimeouts.size() > readsBefore + 2);
    for (quint32 timeout : rig.backend.readTimeouts)
        QVERIFY(timeout >= 1 && timeout <= 50);
    QCOMPARE(rig.driver.readTimeout(), 50u);
}

void TestHidComDriver::payloadCountBeyondReport_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("reportSize");
    QTest::newRow("count above 61") << 62 << 65;
    QTest::newRow("count 255") << 255 << 65;
    QTest::newRow("count above the bytes read") << 30 << 11;
    QTest::newRow("report shorter than its header") << 0 << 3;
}

void TestHidComDriver::payloadCountBeyondReport() {
    QFETCH(int, count);
    QFETCH(int, reportSize);

    Rig rig;
    QVERIFY(rig.openAndSendRequest());
    rig.backend.reads.push_back({Transfer::Done, replyReport(1, static_cast<unsigned char>(count),
                                                             0, pattern(61), reportSize)});
    QByteArray reply(5, '\x55');
    QCOMPARE(rig.driver.read(bytesOf(reply), 5), -3);
    QCOMPARE(reply, QByteArray(5, '\x55'));
    QCOMPARE(rig.backend.readTimeouts.size(), 1);
}

void TestHidComDriver::filterPicksTheInterface() {
    // No interface matches: the module interface stays free for its own driver.
    Rig rig("mi_03");
    QVERIFY(!rig.driver.open());
    QVERIFY(!rig.driver.isOpen());
    QVERIFY(!rig.backend.devices[0].open);

    const QByteArray longPath = QByteArray(1000, 'p') + "#vid_16d0&pid_4d58&mi_03";
    rig.backend.addDevice(longPath);
    const QList<HidComDeviceInfo> found =
        HidComDriver::findDevices(BoardIds::vendorId, BoardIds::productId, "mi_03");
    QCOMPARE(found.size(), 1);
    QCOMPARE(QByteArray(found[0].path()), longPath);
    QVERIFY(!found[0].isSerialNumberEmpty());
    QVERIFY(rig.driver.open());
    QVERIFY(rig.backend.devices[1].open);
    QVERIFY(!rig.backend.devices[0].open);
}

void TestHidComDriver::nonZeroReportIds() {
    Rig rig;
    rig.driver.setHidDeviceSettings(HidDeviceSettings(5, 6));
    QVERIFY(rig.driver.open());

    // 64-byte reports: one payload byte less, none lost.
    QByteArray data = pattern(61);
    QCOMPARE(rig.driver.write(bytesOf(data), 61), 0);
    QCOMPARE(rig.driver.flush(), 0);
    QCOMPARE(rig.backend.writes.size(), 2);
    QCOMPARE(rig.backend.writes[0], QByteArray::fromHex("05013C00") + data.left(60));
    QCOMPARE(rig.backend.writes[1].left(5), QByteArray::fromHex("05020100") + data.mid(60));

    // Input reports repeat the input report id in front of the header.
    QByteArray withId = QByteArray::fromHex("0006") + replyReport(2, 2, 0, "ok").mid(1, 63);
    rig.backend.reads.push_back({Transfer::Done, withId});
    QByteArray reply(2, '\0');
    QCOMPARE(rig.driver.read(bytesOf(reply), 2), 0);
    QCOMPARE(reply, QByteArray("ok"));

    QByteArray wrongId = QByteArray::fromHex("0007") + replyReport(2, 2, 0, "no").mid(1, 63);
    rig.backend.reads.push_back({Transfer::Done, wrongId});
    QCOMPARE(rig.driver.read(bytesOf(reply), 2), -3);
}

ZYR_TEST_CLASS(TestHidComDriver)

#include "tst_hidcomdriver.moc"
