#include "Serial/serialportenumerator.h"

#include <QSerialPortInfo>

namespace ZyrCom::Serial {

namespace {

SerialPortEnumerator::Provider& currentProvider() {
    static SerialPortEnumerator::Provider provider = &SerialPortEnumerator::systemPorts;
    return provider;
}

} // namespace

QList<SerialPortRecord> SerialPortEnumerator::availablePorts() {
    return currentProvider()();
}

void SerialPortEnumerator::setProvider(Provider provider) {
    currentProvider() = provider ? std::move(provider) : Provider(&systemPorts);
}

SerialPortEnumerator::Provider SerialPortEnumerator::provider() {
    return currentProvider();
}

QList<SerialPortRecord> SerialPortEnumerator::systemPorts() {
    QList<SerialPortRecord> records;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& port : ports) {
        SerialPortRecord record;
        record.portName = port.portName();
        record.systemLocation = port.systemLocation();
        record.manufacturer = port.manufacturer();
        record.description = port.description();
        record.hasIds = port.hasVendorIdentifier() && port.hasProductIdentifier();
        record.vendorId = port.hasVendorIdentifier() ? port.vendorIdentifier() : 0;
        record.productId = port.hasProductIdentifier() ? port.productIdentifier() : 0;
        records.append(record);
    }
    return records;
}

} // namespace ZyrCom::Serial
