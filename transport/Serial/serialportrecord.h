#ifndef ZYRTRANSPORT_SERIAL_SERIALPORTRECORD_H
#define ZYRTRANSPORT_SERIAL_SERIALPORTRECORD_H

#include <QString>
#include <QtGlobal>

namespace ZyrCom::Serial {

// One serial port as the platform lists it. The ids are 0 when the port has none.
struct SerialPortRecord {
    QString portName;       // "COM7", "ttyACM0"
    QString systemLocation; // "\\.\COM7", "/dev/ttyACM0"
    QString manufacturer;
    QString description;
    quint16 vendorId = 0;
    quint16 productId = 0;
    bool hasIds = false; // the port carries USB vendor and product ids
};

} // namespace ZyrCom::Serial

#endif // ZYRTRANSPORT_SERIAL_SERIALPORTRECORD_H
