#include "HidDevice/hidopenfailure.h"

namespace ZyrHid {

namespace {
QString hex4(quint16 value) {
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0'));
}

QString idsText(quint16 vendorId, quint16 productId) {
    return hex4(vendorId) + QLatin1Char(':') + hex4(productId);
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

QByteArray HidOpenFailure::idsToken(quint16 vendorId, quint16 productId) {
    return QStringLiteral("vid_%1&pid_%2").arg(hex4(vendorId), hex4(productId)).toLatin1();
}

bool HidOpenFailure::pathNamesIds(const QByteArray& path, quint16 vendorId, quint16 productId) {
    return path.toLower().contains(idsToken(vendorId, productId));
}

} // namespace ZyrHid
