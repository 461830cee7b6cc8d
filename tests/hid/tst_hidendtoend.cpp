#include "Communication/comstream.h"
#include "Communication/comstreamformatter.h"
#include "Communication/serializablecomobject.h"
#include "HidDevice/hidbackend.h"
#include "HidDevice/hidconstants.h"
#include "boardids.h"
#include "hid/hidcomdriver.h"
#include "hidbackend_sim.h"
#include "simulatedboard.h"
#include "testregistry.h"

#include <QElapsedTimer>
#include <QtTest>
#include <cstring>

using namespace ZyrHid;
using ZyrCore::Communication::ComStream;
using ZyrCore::Communication::ComStreamFormatter;
using ZyrCore::Communication::IComObject;
using ZyrCore::Communication::SerializableComObject;
using ZyrSim::BoardInterface;
using ZyrSim::FirmwareReply;
using ZyrSim::FirmwareRequest;
using ZyrSim::SimulatedBoard;
using ZyrSim::TransportFault;

Q_DECLARE_METATYPE(TransportFault)

namespace {

// A device command with a fixed request payload that keeps whatever the device answers.
class RawCommand : public SerializableComObject {
public:
    RawCommand(unsigned char protocol, QByteArray request, unsigned int replySize,
               CallingType callingType = RequestAndResponse)
        : SerializableComObject(protocol, unsigned(request.size()), replySize, callingType, 0)
        , itsRequest(std::move(request)) {}

    bool serialize(unsigned char* buffer, unsigned int size) override {
        if (unsigned(itsRequest.size()) > size)
            return false;
        std::memcpy(buffer, itsRequest.constData(), size_t(itsRequest.size()));
        return true;
    }
    bool deserialize(unsigned char* buffer, unsigned int size) override {
        reply = QByteArray(reinterpret_cast<const char*>(buffer), int(size));
        return true;
    }
    IComObject* clone() override { return new RawCommand(*this); }

    QByteArray reply;

private:
    QByteArray itsRequest;
};

// A simulated board selected as HID backend, with a stream over a driver for one interface.
struct BoardRig {
    explicit BoardRig(const char* filter = BoardIds::moduleInterfaceFilter)
        : backend(board)
        , scope(&backend)
        , driver(info(filter))
        , stream(&driver, ComStream::theImmediateFlushPolicy) {
        driver.setStreamFormatter(&formatter);
        driver.setReadTimeout(50);
        driver.setWriteTimeout(50);
    }

    static HidComDeviceInfo info(const char* filter) {
        HidComDeviceInfo deviceInfo(BoardIds::vendorId, BoardIds::productId);
        deviceInfo.setPath(filter);
        return deviceInfo;
    }

    bool firmwareNumberReads() {
        RawCommand command(SimulatedBoard::firmwareNumberProtocol, {}, 3);
        stream.execute(&command);
        return stream.lastError() == 0 && command.valid() && command.status() == 0 &&
               command.reply == SimulatedBoard::firmwareNumber();
    }

    SimulatedBoard board;
    SimHidBackend backend;
    HidBackend::Scope scope;
    ComStreamFormatter formatter;
    HidComDriver driver;
    ComStream stream;
};

} // namespace

class TestHidEndToEnd : public QObject {
    Q_OBJECT

private slots:
    void boardShowsTwoInterfaces();
    void firmwareNumber_data();
    void firmwareNumber();
    void histogramSpansReports();
    void fault_data();
    void fault();
    void boardUnplugClosesChannel();
};

void TestHidEndToEnd::boardShowsTwoInterfaces() {
    BoardRig rig;
    QList<QByteArray> paths;
    for (const HidComDeviceInfo& info :
         HidComDriver::findDevices(BoardIds::vendorId, BoardIds::productId, QString()))
        paths.append(info.path());
    QCOMPARE(paths.size(), 2);
    QVERIFY(paths[0].contains("mi_03"));
    QVERIFY(paths[1].contains("mi_04"));
    QVERIFY(HidComDriver::findDevices(BoardIds::vendorId, 0x0001, QString()).isEmpty());

    rig.board.unplug();
    QVERIFY(HidComDriver::findDevices(BoardIds::vendorId, BoardIds::productId, "").isEmpty());
    rig.board.replug();
    QCOMPARE(HidComDriver::findDevices(BoardIds::vendorId, BoardIds::productId, "mi_04").size(), 1);

    HidDevice device;
    HidDeviceInfo info(BoardIds::vendorId, BoardIds::productId);
    QCOMPARE(device.open(&info), int(HID_SUCCESS));
    QCOMPARE(int(device.inputReportLength()), 65);
    QCOMPARE(int(device.outputReportLength()), 65);
    char16_t product[64];
    QVERIFY(device.getProductString(product, 64));
    QCOMPARE(QString::fromStdU16String(product), rig.board.productString());
}

void TestHidEndToEnd::firmwareNumber_data() {
    QTest::addColumn<QByteArray>("filter");
    QTest::newRow("control interface") << QByteArray(BoardIds::controlInterfaceFilter);
    QTest::newRow("module interface") << QByteArray(BoardIds::moduleInterfaceFilter);
}

void TestHidEndToEnd::firmwareNumber() {
    QFETCH(QByteArray, filter);
    BoardRig rig(filter.constData());
    QVERIFY(rig.stream.open());
    QVERIFY(rig.firmwareNumberReads());
    QVERIFY(rig.firmwareNumberReads()); // and again, with the next counter
    QCOMPARE(rig.driver.checkDeviceState(), 4);

    // An unknown protocol gets a quick reply with an error status and no payload.
    RawCommand unknown(0x42, QByteArray("\x01\x02", 2), 16);
    rig.stream.execute(&unknown);
    QCOMPARE(rig.stream.lastError(), 0);
    QVERIFY(unknown.valid());
    QCOMPARE(static_cast<unsigned char>(unknown.status()),
             ZyrSim::FirmwareTable::unknownProtocolStatus);
    QVERIFY(unknown.reply.isEmpty());
}

void TestHidEndToEnd::histogramSpansReports() {
    BoardRig rig;
    QByteArray bins(512, '\0');
    for (int i = 0; i < bins.size(); ++i)
        bins[i] = char(i * 13);
    QByteArray seenRequest;
    rig.board.firmware(BoardInterface::Module)
        .setHandler(1, [&](const FirmwareRequest& request) -> std::optional<FirmwareReply> {
            seenRequest = request.payload;
            return FirmwareReply{0, bins.left(int(request.replySize)), std::nullopt, 0};
        });
    QVERIFY(rig.stream.open());
    RawCommand histogram(1, QByteArray("\x03\x00", 2), 512);
    rig.stream.execute(&histogram);
    QCOMPARE(rig.stream.lastError(), 0);
    QVERIFY(histogram.valid());
    QCOMPARE(seenRequest, QByteArray("\x03\x00", 2));
    QCOMPARE(histogram.reply, bins);
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

void TestHidEndToEnd::fault() {
    QFETCH(TransportFault, fault);
    QFETCH(int, error);
    QFETCH(int, status);

    BoardRig rig;
    QVERIFY(rig.stream.open());
    rig.board.setFault(BoardInterface::Module, fault);

    QElapsedTimer timer;
    timer.start();
    RawCommand command(SimulatedBoard::firmwareNumberProtocol, {}, 3);
    rig.stream.execute(&command);
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(rig.stream.lastError(), error);
    QCOMPARE(int(command.status()), status);
    QCOMPARE(command.valid(), error == 0);
    if (error == 0)
        QCOMPARE(command.reply, SimulatedBoard::firmwareNumber());

    rig.board.setFault(BoardInterface::Module, TransportFault::None);
    if (fault == TransportFault::Unplugged) {
        QVERIFY(!rig.stream.isOpen());
        QVERIFY(rig.stream.open());
    }
    QVERIFY(rig.firmwareNumberReads());
}

void TestHidEndToEnd::boardUnplugClosesChannel() {
    BoardRig rig;
    QVERIFY(rig.stream.open());
    rig.board.unplug();
    RawCommand command(SimulatedBoard::firmwareNumberProtocol, {}, 3);
    rig.stream.execute(&command);
    QCOMPARE(rig.stream.lastError(), -1);
    QCOMPARE(int(command.status()), 1);
    QVERIFY(!rig.stream.isOpen());
    QCOMPARE(rig.driver.deviceState(), 2);
    QVERIFY(!rig.stream.open());
    QCOMPARE(rig.driver.checkDeviceState(), 2);

    rig.board.replug();
    QCOMPARE(rig.driver.checkDeviceState(), 4);
    QVERIFY(rig.stream.open());
    QVERIFY(rig.firmwareNumberReads());
}

ZYR_TEST_CLASS(TestHidEndToEnd)

#include "tst_hidendtoend.moc"
