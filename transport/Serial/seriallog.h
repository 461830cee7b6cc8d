#ifndef ZYRTRANSPORT_SERIAL_SERIALLOG_H
#define ZYRTRANSPORT_SERIAL_SERIALLOG_H

#include <QLoggingCategory>

namespace ZyrCom::Serial {

// "zyr.serial": what the serial transport has to tell the user, such as why a port cannot be
// opened.
Q_DECLARE_LOGGING_CATEGORY(serialLog)

} // namespace ZyrCom::Serial

#endif // ZYRTRANSPORT_SERIAL_SERIALLOG_H
