#include "HidDevice/hidpath.h"

#include <QString>

namespace ZyrHid {

QByteArray HidPath::interfaceToken(int interfaceNumber) {
    if (interfaceNumber < 0)
        return QByteArray();
    return "mi_" + QByteArray::number(interfaceNumber, 16).rightJustified(2, '0');
}

QByteArray HidPath::idsToken(quint16 vendorId, quint16 productId) {
    return QString::asprintf("vid_%04x&pid_%04x", unsigned(vendorId), unsigned(productId))
        .toLatin1();
}

bool HidPath::namesIds(const QByteArray& path, quint16 vendorId, quint16 productId) {
    return path.toLower().contains(idsToken(vendorId, productId));
}

QByteArray HidPath::make(const QByteArray& node, quint16 vendorId, quint16 productId,
                         int interfaceNumber) {
    QByteArray path = node + '#' + idsToken(vendorId, productId);
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
