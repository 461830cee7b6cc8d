#ifndef ZYRHID_HIDDEVICE_HIDDEVICEBASE_H
#define ZYRHID_HIDDEVICE_HIDDEVICEBASE_H

#include "HidDevice/hidconstants.h"
#include "HidDevice/ihiddevice.h"

#include <memory>

namespace ZyrHid {

// Time-outs, report lengths and the record of the open interface, common to every platform.
class HidDeviceBase : public IHidDevice {
public:
    HidDeviceBase();
    HidDeviceBase(const HidDeviceBase&) = delete;
    HidDeviceBase& operator=(const HidDeviceBase&) = delete;

    // Meaningful only while open; a default record otherwise.
    HidDeviceInfo deviceInfo() override;
    quint16 inputReportLength() override { return itsInputReportLength; }
    quint16 outputReportLength() override { return itsOutputReportLength; }
    void getTimeouts(quint32* readTimeout, quint32* writeTimeout) override;
    // Each time-out is 1 to HID_TIMEOUT_MAX ms or HID_TIMEOUT_INFINITE; anything else asserts.
    void setTimeouts(quint32 readTimeout, quint32 writeTimeout) override;
    int reset() override;

protected:
    quint32 itsReadTimeout = HID_TIMEOUT_INFINITE;
    quint32 itsWriteTimeout = HID_TIMEOUT_INFINITE;
    quint16 itsInputReportLength = 0;
    quint16 itsOutputReportLength = 0;
    std::unique_ptr<HidDeviceInfo> itsInfo;
};

} // namespace ZyrHid

#endif // ZYRHID_HIDDEVICE_HIDDEVICEBASE_H
