#ifndef ZYRHID_HIDDEVICE_HIDBACKEND_LINUX_H
#define ZYRHID_HIDDEVICE_HIDBACKEND_LINUX_H

#include "HidDevice/ihidbackend.h"

#include <QList>

namespace ZyrHid {

// HID interfaces of the local machine through hidapi's hidraw backend. Paths carry the hidraw
// node, the ids and the USB interface token ("/dev/hidraw3#vid_16d0&pid_4d58&mi_03"); an
// exclusive flock on the node keeps a second opener out.
class LinuxHidBackend : public IHidBackend {
public:
    LinuxHidBackend() = default;

    // Index 0 takes a fresh look at the system; the following indexes read that same list, so a
    // walk over the indexes costs one enumeration and sees one consistent set of devices.
    bool devicePath(unsigned int index, QByteArray* path) override;
    std::unique_ptr<IHidConnection> openExclusive(const QByteArray& path) override;
    int lastOpenError() const override { return itsLastOpenError; }
    QString lastOpenErrorString() const override { return itsLastOpenErrorString; }

private:
    std::unique_ptr<IHidConnection> refuse(int errorNumber, const QString& text);

    QList<QByteArray> itsPaths;
    int itsLastOpenError = 0;
    QString itsLastOpenErrorString;
};

} // namespace ZyrHid

#endif // ZYRHID_HIDDEVICE_HIDBACKEND_LINUX_H
