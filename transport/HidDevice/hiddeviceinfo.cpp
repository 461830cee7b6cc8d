#include "HidDevice/hiddeviceinfo.h"

#include "Tools/zyrassert.h"

namespace ZyrHid {

namespace {
const char* const kSource = "HidDevice/hiddeviceinfo";
}

// Named arrays rather than literals: "unset" is told by address, and identical literals
// elsewhere may share this one's.
namespace {
const char theUnsetPath[1] = {};
const char16_t theUnsetSerialNumber[1] = {};
} // namespace

const char* const HidDeviceInfo::unsetPath = theUnsetPath;
const char16_t* const HidDeviceInfo::unsetSerialNumber = theUnsetSerialNumber;

HidDeviceInfo::HidDeviceInfo() = default;

HidDeviceInfo::HidDeviceInfo(quint16 vendorId, quint16 productId)
    : itsVendorId(vendorId)
    , itsProductId(productId) {}

HidDeviceInfo::HidDeviceInfo(const HidDeviceInfo& other) = default;
HidDeviceInfo& HidDeviceInfo::operator=(const HidDeviceInfo& other) = default;
HidDeviceInfo::~HidDeviceInfo() = default;

const char16_t* HidDeviceInfo::serialNumber() const {
    return itsSerialNumberSet ? itsSerialNumber.c_str() : unsetSerialNumber;
}

const char* HidDeviceInfo::path() const {
    return itsPathSet ? itsPath.constData() : unsetPath;
}

void HidDeviceInfo::setSerialNumber(const char16_t* serialNr) {
    ZYR_ASSERT_NOT_NULL(kSource, serialNr);
    itsSerialNumberSet = serialNr != unsetSerialNumber;
    itsSerialNumber = itsSerialNumberSet ? std::u16string(serialNr) : std::u16string();
}

void HidDeviceInfo::setPath(const char* path) {
    ZYR_ASSERT_NOT_NULL(kSource, path);
    itsPathSet = path != unsetPath;
    itsPath = itsPathSet ? QByteArray(path) : QByteArray();
}

void HidDeviceInfo::set(quint16 vendorId, quint16 productId) {
    clear();
    itsVendorId = vendorId;
    itsProductId = productId;
}

void HidDeviceInfo::clear() {
    itsVendorId = 0;
    itsProductId = 0;
    setSerialNumber(unsetSerialNumber);
    setPath(unsetPath);
}

} // namespace ZyrHid
