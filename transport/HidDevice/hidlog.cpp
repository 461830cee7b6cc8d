#include "HidDevice/hidlog.h"

namespace ZyrHid {

Q_LOGGING_CATEGORY(hidLog, "zyr.hid")

} // namespace ZyrHid
