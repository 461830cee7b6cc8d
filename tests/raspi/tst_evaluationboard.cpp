#include "testregistry.h"

#include "HidDevice/hidbackend.h"
#include "Serial/serialcomdriver.h"
#include "boardids.h"
#include "hid/hidcomdriver.h"
#include "simulatedevaluationboard.h"

#include <QtTest>

using ZyrSim::BoardInterface;
using ZyrSim::FirmwareRequest;
using ZyrSim::FirmwareTable;
using ZyrSim::SimulatedEvaluationBoard;
using ZyrSim::SimulatedRegisterFile;

namespace {

int hidInterfacesListed(const char* filter) {
    return ZyrHid::HidComDriver::findDevices(ZyrHid::BoardIds::vendorId,
                                             ZyrHid::BoardIds::productId, filter)
        .size();
}

int serialPortsListed() {
    ZyrCom::Serial::SerialComDeviceInfo filter;
    filter.setVendorId(ZyrHid::BoardIds::vendorId);
    filter.setProductId(ZyrHid::BoardIds::productId);
    return ZyrCom::Serial::SerialComDriver::findDevices(&filter).size();
}

FirmwareRequest request(unsigned char protocol, QByteArray payload, unsigned int replySize) {
    FirmwareRequest made;
    made.protocol = protocol;
    made.payload = std::move(payload);
    made.replySize = replySize;
    return made;
}

} // namespace

class TestEvaluationBoard : public QObject {
    Q_OBJECT

private slots:
    void createdFromText();
    void selectsItselfWhileAlive();
    void unplugTakesEverythingAway();
    void moduleInterfaceAnswersSensorAndRegisters();
};

void TestEvaluationBoard::createdFromText() {
    QString message;
    const auto board = SimulatedEvaluationBoard::create(
        QStringLiteral("chip=KEL4405,seed=3,timing=off,fault.module=noreply"), &message);
    QVERIFY2(board != nullptr, qPrintable(message));
    QCOMPARE(board->config().toString(),
             QStringLiteral("seed=3,timing=off,fault.control=none,fault.module=noreply,"
                            "chip=KEL4405"));
    QVERIFY(board->board().fault(BoardInterface::Module) == ZyrSim::TransportFault::NoReply);
    QVERIFY(board->sensor().config().chipModel == ZyrSim::SensorConfig::ChipModel::Kel4405);
    // One seed for the board and the sensor.
    QCOMPARE(board->sensor().config().seed, 3u);
}

void TestEvaluationBoard::selectsItselfWhileAlive() {
    ZyrHid::IHidBackend* before = ZyrHid::HidBackend::current();
    const int serialPortsBefore = serialPortsListed();
    {
        SimulatedEvaluationBoard board;
        QVERIFY(ZyrHid::HidBackend::current() != before);
        QCOMPARE(hidInterfacesListed(ZyrHid::BoardIds::controlInterfaceFilter), 1);
        QCOMPARE(hidInterfacesListed(ZyrHid::BoardIds::moduleInterfaceFilter), 1);
        QCOMPARE(hidInterfacesListed(""), 2);
        QVERIFY(board.isSerialPortPlugged());
        QCOMPARE(serialPortsListed(), serialPortsBefore + 1);
    }
    QCOMPARE(ZyrHid::HidBackend::current(), before);
    QCOMPARE(serialPortsListed(), serialPortsBefore);
}

void TestEvaluationBoard::unplugTakesEverythingAway() {
    SimulatedEvaluationBoard board;
    const int serialPortsPlugged = serialPortsListed();
    board.unplug();
    QCOMPARE(hidInterfacesListed(""), 0);
    QVERIFY(!board.isSerialPortPlugged());
    QCOMPARE(serialPortsListed(), serialPortsPlugged - 1);

    QVERIFY(board.replug());
    QCOMPARE(hidInterfacesListed(""), 2);
    QVERIFY(board.isSerialPortPlugged());
    QCOMPARE(serialPortsListed(), serialPortsPlugged);
}

void TestEvaluationBoard::moduleInterfaceAnswersSensorAndRegisters() {
    const auto board = SimulatedEvaluationBoard::create(QStringLiteral("deviceStatus=7"));
    QVERIFY(board != nullptr);
    FirmwareTable& module = board->board().firmware(BoardInterface::Module);
    FirmwareTable& control = board->board().firmware(BoardInterface::Control);

    // The sensor's temperature, with the configured device status.
    const auto temperature = module.dispatch(request(10, {}, 1));
    QVERIFY(temperature.has_value());
    QCOMPARE(temperature->status, quint8(7));
    QCOMPARE(temperature->payload.size(), 1);

    // The chip's identification register over the I2C master.
    const auto identification = module.dispatch(
        request(SimulatedRegisterFile::transferProtocol, QByteArray("\x80\x90\x81", 3), 1));
    QVERIFY(identification.has_value());
    QCOMPARE(identification->status, quint8(0));
    QCOMPARE(identification->payload,
             QByteArray(1, char(SimulatedRegisterFile::identificationValue)));

    // Neither belongs to the control interface.
    QCOMPARE(control.dispatch(request(10, {}, 1))->status, FirmwareTable::unknownProtocolStatus);
    QCOMPARE(control
                 .dispatch(request(SimulatedRegisterFile::transferProtocol,
                                   QByteArray("\x80\x90\x81", 3), 1))
                 ->status,
             FirmwareTable::unknownProtocolStatus);
}

ZYR_TEST_CLASS(TestEvaluationBoard)

#include "tst_evaluationboard.moc"
