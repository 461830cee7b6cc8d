#ifndef ZYRHID_HIDDEVICE_IHIDDEVICE_H
#define ZYRHID_HIDDEVICE_IHIDDEVICE_H

#include "HidDevice/hiddeviceinfo.h"

namespace ZyrHid {

// One HID interface, opened by ids and path, moving whole reports with a time-out. Operations
// return the HidResult codes.
class IHidDevice {
public:
    virtual ~IHidDevice() = default;

    virtual int open(HidDeviceInfo* info) = 0;
    virtual bool isOpen() = 0;
    virtual int close() = 0;
    // The first byte is the report id.
    virtual int write(const unsigned char* buffer, unsigned int length) = 0;
    // Reads one report and drops its report-id byte.
    virtual int read(unsigned char* buffer, unsigned int bufferSize, unsigned int* bytesRead) = 0;
    // length counts characters, the terminating zero included.
    virtual bool getProductString(char16_t* string, unsigned int length) = 0;
    virtual HidDeviceInfo deviceInfo() = 0;
    virtual quint16 inputReportLength() = 0;
    virtual quint16 outputReportLength() = 0;
    virtual void getTimeouts(quint32* readTimeout, quint32* writeTimeout) = 0;
    virtual void setTimeouts(quint32 readTimeout, quint32 writeTimeout) = 0;
    virtual int reset() = 0;
};

} // namespace ZyrHid

#endif // ZYRHID_HIDDEVICE_IHIDDEVICE_H
