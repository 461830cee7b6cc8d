#ifndef ZYRHID_HIDDEVICE_HIDOPENFAILURE_H
#define ZYRHID_HIDDEVICE_HIDOPENFAILURE_H

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace ZyrHid {

// One-line texts that say why a HID interface could not be opened, with what the user can do
// about it on this platform.
class HidOpenFailure {
public:
    // Nothing with both ids (and the filter in its path, when not empty) is listed.
    static QString notPresent(quint16 vendorId, quint16 productId, const QByteArray& pathFilter);
    // The backend refused the path with errorNumber (an errno value) and its text.
    static QString refused(const QByteArray& path, int errorNumber, const QString& detail);
    static QString otherIds(const QByteArray& path, quint16 vendorId, quint16 productId);
    static QString noReportLengths(const QByteArray& path);

private:
    // What the user can do about errorNumber here; empty when there is nothing to add.
    static QString advice(int errorNumber);
};

} // namespace ZyrHid

#endif // ZYRHID_HIDDEVICE_HIDOPENFAILURE_H
