#include "HidDevice/hidcomdeviceinfo.h"

#include "Tools/zyrassert.h"

namespace ZyrHid {

namespace {
const char* const kSource = "HidDevice/hidcomdeviceinfo";
}

HidComDeviceInfo::HidComDeviceInfo(quint16 vendorId, quint16 productId)
    : itsVendorId(vendorId)
    , itsProductId(productId) {}

void HidComDeviceInfo::setSerialNumber(const char16_t* serialNr) {
    ZYR_ASSERT_NOT_NULL(kSource, serialNr);
    itsSerialNumber = serialNr;
    itsSerialNumberSet = true;
}

void HidComDeviceInfo::setPath(const char* path) {
    ZYR_ASSERT_NOT_NULL(kSource, path);
    itsPath = path;
    itsPathSet = true;
}

} // namespace ZyrHid
