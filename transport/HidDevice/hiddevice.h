#ifndef ZYRHID_HIDDEVICE_HIDDEVICE_H
#define ZYRHID_HIDDEVICE_HIDDEVICE_H

#include "HidDevice/hiddevicebase.h"
#include "HidDevice/ihidconnection.h"

#include <QList>
#include <QString>

#include <memory>

namespace ZyrHid {

// A HID interface reached through the current HidBackend. Opening is exclusive: an interface
// that another user holds open can neither be opened nor enumerated.
class HidDevice : public HidDeviceBase {
public:
    HidDevice();
    ~HidDevice() override;

    int open(HidDeviceInfo* info) override;
    bool isOpen() override;
    int close() override;
    int write(const unsigned char* buffer, unsigned int length) override;
    int read(unsigned char* buffer, unsigned int bufferSize, unsigned int* bytesRead) override;
    bool getProductString(char16_t* string, unsigned int length) override;
    int reset() override;

    // Why the last open failed, in one line for people; empty after an open that succeeded.
    QString lastErrorString() const { return itsLastErrorString; }

    // The path of the interface with this index; false from index HID_MAX_DEVICE_INDEX on or
    // when there is no such interface.
    static bool getDevicePath(unsigned int index, QByteArray* path);
    // Null on failure; the ids form keeps the device only when both ids match.
    static std::unique_ptr<IHidConnection> openDevice(const char* path);
    static std::unique_ptr<IHidConnection> openDevice(const char* path, quint16 vendorId,
                                                      quint16 productId);

    // Every openable interface, with the ids read from the device.
    static QList<HidDeviceInfo> enumerateDevices();
    static QList<HidDeviceInfo> enumerateDevices(quint16 vendorId);
    // Interfaces with both ids whose path contains pathFilter (case-sensitive; null: any path).
    // When nothing is found, whyNone (when not null) says why: the refusal of the first interface
    // whose path names both ids, else that none is present.
    static QList<HidDeviceInfo> enumerateDevices(quint16 vendorId, quint16 productId,
                                                 const char* pathFilter = nullptr,
                                                 QString* whyNone = nullptr);

private:
    static QList<HidDeviceInfo> enumerateAll(bool byVendor, quint16 vendorId);
    int transferResult(IHidConnection::Transfer transfer) const;

    std::unique_ptr<IHidConnection> itsHandle;
    QString itsLastErrorString;
};

} // namespace ZyrHid

#endif // ZYRHID_HIDDEVICE_HIDDEVICE_H
