#ifndef ZYRHID_HIDDEVICE_HIDCONSTANTS_H
#define ZYRHID_HIDDEVICE_HIDCONSTANTS_H

#include <QtGlobal>

namespace ZyrHid {

// Result codes of HidDevice's open, close, read and write.
enum HidResult : int {
    HID_SUCCESS = 0,
    HID_ERROR_NOT_OPEN = 2,
    HID_ERROR_ALREADY_OPEN = 3,
    HID_ERROR_TIMEOUT = 4,
    HID_ERROR_IO = 5,
    HID_ERROR_BUFFER_SIZE = 8,
};

// Transfer time-outs in milliseconds.
constexpr quint32 HID_TIMEOUT_MIN = 1;
constexpr quint32 HID_TIMEOUT_MAX = 0x7FFFFFFF;
constexpr quint32 HID_TIMEOUT_INFINITE = 0xFFFFFFFF;

// The enumeration never looks at more interfaces than this.
constexpr unsigned int HID_MAX_DEVICE_INDEX = 64;

} // namespace ZyrHid

#endif // ZYRHID_HIDDEVICE_HIDCONSTANTS_H
