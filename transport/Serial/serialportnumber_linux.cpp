#include "Serial/serialportnumber.h"

namespace ZyrCom::Serial {

// Linux names its ports after device nodes (ttyACM0, ttyUSB1); Windows-style names keep their
// own rule.
bool tryGetPortNumber(const QString& portName, quint16& number) {
    return tryGetComPortNumber(portName, number) || tryGetTrailingPortNumber(portName, number);
}

} // namespace ZyrCom::Serial
