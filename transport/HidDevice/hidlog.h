#ifndef ZYRHID_HIDDEVICE_HIDLOG_H
#define ZYRHID_HIDDEVICE_HIDLOG_H

#include <QLoggingCategory>

namespace ZyrHid {

// "zyr.hid": what the HID transport has to tell the user, such as why a board cannot be opened.
Q_DECLARE_LOGGING_CATEGORY(hidLog)

} // namespace ZyrHid

#endif // ZYRHID_HIDDEVICE_HIDLOG_H
