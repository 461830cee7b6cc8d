#include "Serial/seriallog.h"

namespace ZyrCom::Serial {

Q_LOGGING_CATEGORY(serialLog, "zyr.serial")

} // namespace ZyrCom::Serial
