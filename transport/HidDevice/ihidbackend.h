#ifndef ZYRHID_HIDDEVICE_IHIDBACKEND_H
#define ZYRHID_HIDDEVICE_IHIDBACKEND_H

#include "HidDevice/ihidconnection.h"

#include <QByteArray>

#include <memory>

namespace ZyrHid {

// The platform's HID layer: enumeration by index and exclusive opening of a device path.
class IHidBackend {
public:
    virtual ~IHidBackend() = default;

    // The path of the present HID interface with this index; false when there is none.
    virtual bool devicePath(unsigned int index, QByteArray* path) = 0;
    // Null when the path cannot be opened or another user holds it open.
    virtual std::unique_ptr<IHidConnection> openExclusive(const QByteArray& path) = 0;
};

} // namespace ZyrHid

#endif // ZYRHID_HIDDEVICE_IHIDBACKEND_H
