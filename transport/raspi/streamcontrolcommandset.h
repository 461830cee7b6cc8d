#ifndef ZYRCOM_COMMANDS_STREAMCONTROLCOMMANDSET_H
#define ZYRCOM_COMMANDS_STREAMCONTROLCOMMANDSET_H

#include "Communication/commandset.h"

namespace ZyrCom::Commands {

// The board-control commands under their telegram names: "I2cConfig", "Reset" and
// "FirmwareNumber".
class StreamControlCommandSet : public ZyrCore::Communication::CommandSet {
public:
    static constexpr unsigned int i2cTracePattern = 0x8000000;
    static constexpr unsigned int controlTracePattern = 0x40000000;

    StreamControlCommandSet();
};

} // namespace ZyrCom::Commands

#endif // ZYRCOM_COMMANDS_STREAMCONTROLCOMMANDSET_H
