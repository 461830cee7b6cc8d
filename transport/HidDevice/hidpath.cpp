#include "HidDevice/hidpath.h"

namespace ZyrHid {

namespace {
QByteArray hex4(quint16 value) {
    return QByteArray::number(value, 16).rightJustified(4, '0');
}
} // namespace

QByteArray HidPath::interfaceToken(int interfaceNumber) {
    if (interfaceNumber < 0)
        return QByteArray();
    return "mi_" + QByteArray::number(interfaceNumber, 16).rightJustified(2, '0');
}

QByteArray HidPath::make(const QByteArray& node, quint16 vendorId, quint16 productId,
                         int interfaceNumber) {
    QByteArray path = node + "#vid_" + hex4(vendorId) + "&pid_" + hex4(productId);
    const QByteArray token = interfaceToken(interfaceNumber);
    if (!token.isEmpty())
        path += "&" + token;
    return path;
}

QByteArray HidPath::node(const QByteArray& path) {
    const int separator = path.indexOf('#');
    return separator < 0 ? path : path.left(separator);
}

} // namespace ZyrHid
