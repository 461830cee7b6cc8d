#include "HidDevice/hiddevicebase.h"

#include "Tools/zyrassert.h"

namespace ZyrHid {

namespace {
const char* const kSource = "HidDevice/hiddevicebase";
}

HidDeviceBase::HidDeviceBase() = default;

HidDeviceInfo HidDeviceBase::deviceInfo() {
    return itsInfo != nullptr ? *itsInfo : HidDeviceInfo();
}

void HidDeviceBase::getTimeouts(quint32* readTimeout, quint32* writeTimeout) {
    if (readTimeout != nullptr)
        *readTimeout = itsReadTimeout;
    if (writeTimeout != nullptr)
        *writeTimeout = itsWriteTimeout;
}

void HidDeviceBase::setTimeouts(quint32 readTimeout, quint32 writeTimeout) {
    ZYR_ASSERT(kSource, readTimeout >= HID_TIMEOUT_MIN,
               "readTimeout must be greater or equal the minimum timeout of 1ms");
    ZYR_ASSERT(kSource, writeTimeout >= HID_TIMEOUT_MIN,
               "writeTimeout must be greater or equal the minimum timeout of 1ms");
    ZYR_ASSERT(kSource, (readTimeout <= HID_TIMEOUT_MAX) || (readTimeout == HID_TIMEOUT_INFINITE),
               "readTimeout must be less or equal the maximum timeout or equal the infinite "
               "timeout");
    ZYR_ASSERT(kSource, (writeTimeout <= HID_TIMEOUT_MAX) || (writeTimeout == HID_TIMEOUT_INFINITE),
               "writeTimeout must be less or equal the maximum timeout or equal the infinite "
               "timeout");
    itsReadTimeout = readTimeout;
    itsWriteTimeout = writeTimeout;
}

int HidDeviceBase::reset() {
    itsInfo.reset();
    return HID_SUCCESS;
}

} // namespace ZyrHid
