#include "HidDevice/hidopenfailure.h"

namespace ZyrHid {

namespace {
QString idsText(quint16 vendorId, quint16 productId) {
    return QString::asprintf("%04x:%04x", unsigned(vendorId), unsigned(productId));
}
} // namespace

QString HidOpenFailure::notPresent(quint16 vendorId, quint16 productId,
                                   const QByteArray& pathFilter) {
    if (pathFilter.isEmpty())
        return QStringLiteral("no HID interface %1 is present").arg(idsText(vendorId, productId));
    return QStringLiteral("no HID interface %1 with \"%2\" in its path is present")
        .arg(idsText(vendorId, productId), QString::fromLatin1(pathFilter));
}

QString HidOpenFailure::refused(const QByteArray& path, int errorNumber, const QString& detail) {
    QString text =
        QStringLiteral("cannot open HID interface %1: %2")
            .arg(QString::fromLatin1(path), detail.isEmpty() ? QStringLiteral("refused") : detail);
    const QString hint = advice(errorNumber);
    if (!hint.isEmpty())
        text += QStringLiteral("; ") + hint;
    return text.simplified(); // one line, whatever the platform's text holds
}

QString HidOpenFailure::otherIds(const QByteArray& path, quint16 vendorId, quint16 productId) {
    return QStringLiteral("HID interface %1 is not %2")
        .arg(QString::fromLatin1(path), idsText(vendorId, productId));
}

QString HidOpenFailure::noReportLengths(const QByteArray& path) {
    return QStringLiteral("HID interface %1 gives no input or output report length")
        .arg(QString::fromLatin1(path));
}

} // namespace ZyrHid
