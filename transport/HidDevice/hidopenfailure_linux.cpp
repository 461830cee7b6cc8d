#include "HidDevice/hidopenfailure.h"

#include <cerrno>

namespace ZyrHid {

// hidraw nodes belong to root until a udev rule gives the logged-in user access.
QString HidOpenFailure::advice(int errorNumber) {
    if (errorNumber != EACCES && errorNumber != EPERM)
        return QString();
    return QStringLiteral(
        "the user may not use the board: install transport/HidDevice/99-zyr-evalboard.rules "
        "into /etc/udev/rules.d/, run \"sudo udevadm control --reload\" and plug the board in "
        "again");
}

} // namespace ZyrHid
