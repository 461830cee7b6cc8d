#include "Serial/serialcomdriver.h"

#include "Serial/seriallog.h"
#include "Serial/serialportenumerator.h"
#include "Serial/serialportnumber.h"
#include "Tools/zyrassert.h"

#include <QSerialPort>

#include <limits>

namespace ZyrCom::Serial {

namespace {
constexpr const char* source = "Serial/serialcomdriver";
}

SerialComDriver::SerialComDriver(const SerialComDeviceInfo& info)
    : itsDeviceInfo(info) {}

SerialComDriver::~SerialComDriver() {
    close();
}

bool SerialComDriver::open() {
    if (itsPort)
        return false;
    const QList<SerialComDeviceInfo> devices = findDevices(&itsDeviceInfo);
    if (devices.isEmpty()) {
        noteOpenResult(serialLog(), QStringLiteral("no serial port %1:%2 is present")
                                        .arg(itsDeviceInfo.vendorId(), 4, 16, QLatin1Char('0'))
                                        .arg(itsDeviceInfo.productId(), 4, 16, QLatin1Char('0')));
        return false;
    }

    auto port = std::make_unique<QSerialPort>();
    port->setPortName(devices.first().portName());
    port->setBaudRate(baudRate, QSerialPort::AllDirections);
    port->setParity(QSerialPort::NoParity);
    port->setStopBits(QSerialPort::TwoStop);
    port->setDataBits(QSerialPort::Data8);
    if (!port->open(QIODevice::ReadWrite)) {
        noteOpenResult(serialLog(), QStringLiteral("cannot open serial port %1: %2")
                                        .arg(port->portName(), port->errorString())
                                        .simplified());
        return false;
    }
    itsPort = std::move(port);
    itsOpen = true;
    noteOpenResult(serialLog(), QString());
    return true;
}

bool SerialComDriver::close() {
    if (!itsPort)
        return false;
    itsPort->close();
    itsOpen = false;
    itsPort.reset();
    return true;
}

bool SerialComDriver::isOpen() {
    return itsPort && itsPort->isOpen();
}

int SerialComDriver::flush() {
    ZYR_ASSERT(source, false, "not implemented.");
}

int SerialComDriver::write(unsigned char*, int) {
    ZYR_ASSERT(source, false, "not implemented.");
}

int SerialComDriver::read(unsigned char*, int) {
    ZYR_ASSERT(source, false, "not implemented.");
}

int SerialComDriver::checkDeviceState() {
    ZYR_ASSERT(source, false, "not implemented.");
}

void SerialComDriver::reserved() {
    ZYR_ASSERT(source, false, "not implemented.");
}

void SerialComDriver::clearBuffers() {}

void SerialComDriver::setDeviceInfo(const SerialComDeviceInfo& info) {
    itsDeviceInfo = info;
}

SerialComDeviceInfo SerialComDriver::deviceInfo() {
    return itsDeviceInfo;
}

qint64 SerialComDriver::writeRaw(const char* data, qint64 length) {
    if (!itsPort)
        return TransmitFailed;
    const qint64 written = itsPort->write(data, length);
    // Nothing queued means nothing to wait for; Qt reports that as a failed wait.
    const bool sent = written <= 0 || itsPort->waitForBytesWritten(timeoutForQt());
    if (!sent || itsPort->error() != QSerialPort::NoError || written < 0)
        return failTransfer(TransmitFailed);
    return written;
}

qint64 SerialComDriver::readRaw(char* data, qint64 size) {
    if (!itsPort)
        return ReceiveFailed;
    if (itsPort->bytesAvailable() == 0 && itsWaitForData &&
        !itsPort->waitForReadyRead(timeoutForQt()))
        return failTransfer(ReceiveFailed);
    const qint64 count = itsPort->read(data, size);
    if (itsPort->error() != QSerialPort::NoError || count < 0)
        return failTransfer(ReceiveFailed);
    return count;
}

void SerialComDriver::setWaitForData(bool waitForData) {
    itsWaitForData = waitForData;
}

bool SerialComDriver::waitForData() {
    return itsWaitForData;
}

void SerialComDriver::setTimeout(uint ms) {
    itsTimeout = ms;
}

uint SerialComDriver::timeout() {
    return itsTimeout;
}

bool SerialComDriver::setNextNode(ZyrCore::Communication::ICommunicationNode*) {
    return true;
}

QList<SerialComDeviceInfo> SerialComDriver::findDevices(const SerialComDeviceInfo* filter) {
    QList<SerialComDeviceInfo> devices;
    const QList<SerialPortRecord> ports = SerialPortEnumerator::availablePorts();
    for (const SerialPortRecord& port : ports) {
        quint16 portNumber = 0;
        if (!tryGetPortNumber(port.portName, portNumber))
            continue;
        if (filter) {
            if (filter->vendorId() != 0 && filter->vendorId() != port.vendorId)
                continue;
            if (filter->productId() != 0 && filter->productId() != port.productId)
                continue;
            if (!filter->manufacturer().isEmpty() &&
                !port.manufacturer.contains(filter->manufacturer(), Qt::CaseSensitive))
                continue;
            if (!filter->description().isEmpty() &&
                !port.description.contains(filter->description(), Qt::CaseSensitive))
                continue;
        }
        SerialComDeviceInfo device;
        device.setPortName(port.portName);
        device.setPortNumber(portNumber);
        device.setManufacturer(port.manufacturer);
        device.setDescription(port.description);
        device.setVendorId(port.vendorId);
        device.setProductId(port.productId);
        devices.append(device);
    }
    return devices;
}

int SerialComDriver::timeoutForQt() const {
    // Qt takes an int, where -1 would mean waiting forever.
    return static_cast<int>(qMin<uint>(itsTimeout, std::numeric_limits<int>::max()));
}

qint64 SerialComDriver::failTransfer(int error) {
    itsPort->clearError();
    itsLastError = error;
    return error;
}

} // namespace ZyrCom::Serial
