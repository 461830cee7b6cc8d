#ifndef ZYRHID_HIDDEVICE_HIDREPORTDESCRIPTOR_H
#define ZYRHID_HIDDEVICE_HIDREPORTDESCRIPTOR_H

#include <QByteArray>
#include <QtGlobal>

namespace ZyrHid {

// Report lengths read from a HID report descriptor. Lengths count the report-id byte, as the
// device layer moves whole reports with it (65 for 64 data bytes without report ids).
class HidReportDescriptor {
public:
    // False when the descriptor is malformed; the out values are then untouched.
    static bool parse(const QByteArray& descriptor, bool* usesReportIds, quint16* inputLength,
                      quint16* outputLength);
};

} // namespace ZyrHid

#endif // ZYRHID_HIDDEVICE_HIDREPORTDESCRIPTOR_H
