#ifndef ZYRHID_HIDDEVICE_HIDDEVICEINFO_H
#define ZYRHID_HIDDEVICE_HIDDEVICEINFO_H

#include <QByteArray>

#include <string>

namespace ZyrHid {

// Identifies one HID interface: ids, serial number and platform device path. Both strings are
// "unset" until a value is stored; storing unsetText makes a string unset again.
class HidDeviceInfo {
public:
    HidDeviceInfo();
    HidDeviceInfo(quint16 vendorId, quint16 productId);
    HidDeviceInfo(const HidDeviceInfo& other);
    HidDeviceInfo& operator=(const HidDeviceInfo& other);
    virtual ~HidDeviceInfo();

    quint16 vendorId() const { return itsVendorId; }
    quint16 productId() const { return itsProductId; }
    const char16_t* serialNumber() const;
    const char* path() const;

    void setSerialNumber(const char16_t* serialNr);
    void setPath(const char* path);
    // New ids, both strings unset.
    void set(quint16 vendorId, quint16 productId);
    void clear();

    bool isSerialNumberEmpty() const { return !itsSerialNumberSet; }
    bool isPathEmpty() const { return !itsPathSet; }

    // The shared value of an unset string.
    static const char* const unsetPath;
    static const char16_t* const unsetSerialNumber;

private:
    quint16 itsVendorId = 0;
    quint16 itsProductId = 0;
    std::u16string itsSerialNumber;
    bool itsSerialNumberSet = false;
    QByteArray itsPath;
    bool itsPathSet = false;
};

} // namespace ZyrHid

#endif // ZYRHID_HIDDEVICE_HIDDEVICEINFO_H
