#ifndef ZYRCOM_COMMANDS_STREAMREGISTERCOMMANDSET_H
#define ZYRCOM_COMMANDS_STREAMREGISTERCOMMANDSET_H

#include "Communication/commandset.h"

namespace ZyrCom::Commands {

// The I2C register and transfer commands under their telegram names: "I2cReadRegister",
// "I2cWriteRegister", "I2cModifyRegister", "I2cBlockRegister" and "I2cTxRx".
class StreamRegisterCommandSet : public ZyrCore::Communication::CommandSet {
public:
    static constexpr unsigned int tracePattern = 0x8000000;
    static constexpr unsigned int maxDataSize = 0x440;

    StreamRegisterCommandSet();
};

} // namespace ZyrCom::Commands

#endif // ZYRCOM_COMMANDS_STREAMREGISTERCOMMANDSET_H
