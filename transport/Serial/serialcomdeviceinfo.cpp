#include "Serial/serialcomdeviceinfo.h"

namespace ZyrCom::Serial {

QString SerialComDeviceInfo::toString() const {
    return QStringLiteral("COM Device:") +
           QStringLiteral("  Manufacturer: %1").arg(itsManufacturer) +
           QStringLiteral("  Description: %1").arg(itsDescription) +
           QStringLiteral("  Port: %1").arg(itsPortName) +
           QStringLiteral("  Vendor ID: %1").arg(itsVendorId) +
           QStringLiteral("  Product ID: %1").arg(itsProductId);
}

} // namespace ZyrCom::Serial
