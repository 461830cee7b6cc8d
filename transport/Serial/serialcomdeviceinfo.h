#ifndef ZYRTRANSPORT_SERIAL_SERIALCOMDEVICEINFO_H
#define ZYRTRANSPORT_SERIAL_SERIALCOMDEVICEINFO_H

#include <QString>
#include <QtGlobal>

namespace ZyrCom::Serial {

// Describes a serial port; also serves as the search filter of SerialComDriver::findDevices.
class SerialComDeviceInfo {
public:
    SerialComDeviceInfo() = default;
    SerialComDeviceInfo(const SerialComDeviceInfo& other) = default;
    SerialComDeviceInfo& operator=(const SerialComDeviceInfo& other) = default;
    virtual ~SerialComDeviceInfo() = default;

    QString portName() const { return itsPortName; }
    void setPortName(const QString& portName) { itsPortName = portName; }
    QString manufacturer() const { return itsManufacturer; }
    void setManufacturer(const QString& manufacturer) { itsManufacturer = manufacturer; }
    QString description() const { return itsDescription; }
    void setDescription(const QString& description) { itsDescription = description; }
    quint16 vendorId() const { return itsVendorId; }
    void setVendorId(quint16 vendorId) { itsVendorId = vendorId; }
    quint16 productId() const { return itsProductId; }
    void setProductId(quint16 productId) { itsProductId = productId; }
    quint16 portNumber() const { return itsPortNumber; }
    void setPortNumber(quint16 portNumber) { itsPortNumber = portNumber; }

    QString toString() const;

private:
    QString itsPortName;
    QString itsManufacturer;
    QString itsDescription;
    quint16 itsVendorId = 0;
    quint16 itsProductId = 0;
    quint16 itsPortNumber = 0;
};

} // namespace ZyrCom::Serial

#endif // ZYRTRANSPORT_SERIAL_SERIALCOMDEVICEINFO_H
