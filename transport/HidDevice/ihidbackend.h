#ifndef ZYRHID_HIDDEVICE_IHIDBACKEND_H
#define ZYRHID_HIDDEVICE_IHIDBACKEND_H

#include "HidDevice/ihidconnection.h"

#include <QByteArray>
#include <QString>

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
    // Why the last openExclusive returned null: an errno value (EACCES when the user may not
    // open the path, EBUSY when another user holds it) and the platform's text. 0 and empty
    // after an open that succeeded.
    virtual int lastOpenError() const = 0;
    virtual QString lastOpenErrorString() const = 0;
};

} // namespace ZyrHid

#endif // ZYRHID_HIDDEVICE_IHIDBACKEND_H
