#ifndef ZYRHID_HIDDEVICE_HIDCOMDEVICEINFO_H
#define ZYRHID_HIDDEVICE_HIDCOMDEVICEINFO_H

#include <QByteArray>
#include <QtGlobal>

#include <string>

namespace ZyrHid {

// The interface a HID com driver wants: ids, serial number and a path filter. An unset or
// empty path means no filter.
class HidComDeviceInfo {
public:
    HidComDeviceInfo() = default;
    HidComDeviceInfo(quint16 vendorId, quint16 productId);
    HidComDeviceInfo(const HidComDeviceInfo& other) = default;
    HidComDeviceInfo& operator=(const HidComDeviceInfo& other) = default;
    virtual ~HidComDeviceInfo() = default;

    quint16 vendorId() const { return itsVendorId; }
    quint16 productId() const { return itsProductId; }
    void setVendorId(quint16 vendorId) { itsVendorId = vendorId; }
    void setProductId(quint16 productId) { itsProductId = productId; }

    const char16_t* serialNumber() const { return itsSerialNumber.c_str(); }
    const char* path() const { return itsPath.constData(); }
    // Both store a copy, an empty text included.
    void setSerialNumber(const char16_t* serialNr);
    void setPath(const char* path);

    bool isSerialNumberEmpty() const { return !itsSerialNumberSet; }
    // True only while no path was ever stored.
    bool isPathEmpty() const { return !itsPathSet; }

private:
    quint16 itsVendorId = 0;
    quint16 itsProductId = 0;
    std::u16string itsSerialNumber;
    bool itsSerialNumberSet = false;
    QByteArray itsPath;
    bool itsPathSet = false;
};

} // namespace ZyrHid

#endif // ZYRHID_HIDDEVICE_HIDCOMDEVICEINFO_H
