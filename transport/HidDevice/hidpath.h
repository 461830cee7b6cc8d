#ifndef ZYRHID_HIDDEVICE_HIDPATH_H
#define ZYRHID_HIDDEVICE_HIDPATH_H

#include <QByteArray>
#include <QtGlobal>

namespace ZyrHid {

// Device paths of the non-Windows backends: "<node>#vid_16d0&pid_4d58&mi_03". The interface
// token lets the stack select an interface of a composite device by substring, as it does with
// Windows paths.
class HidPath {
public:
    // "mi_03" for interface 3; empty for a negative (non-USB) interface number.
    static QByteArray interfaceToken(int interfaceNumber);
    // The token of both ids: "vid_16d0&pid_4d58". Windows paths carry it too.
    static QByteArray idsToken(quint16 vendorId, quint16 productId);
    // True when path carries the ids token, in any letter case.
    static bool namesIds(const QByteArray& path, quint16 vendorId, quint16 productId);
    static QByteArray make(const QByteArray& node, quint16 vendorId, quint16 productId,
                           int interfaceNumber);
    // The node part of a path made by make(); the whole path when it has no '#'.
    static QByteArray node(const QByteArray& path);
};

} // namespace ZyrHid

#endif // ZYRHID_HIDDEVICE_HIDPATH_H
