#include "raspi/streamregistercommandset.h"

#include "Communication/I2c/i2cblockreadregistercomobject.h"
#include "Communication/I2c/i2cmodifyregistercomobject.h"
#include "Communication/I2c/i2creadregistercomobject.h"
#include "Communication/I2c/i2ctxrxcomobject.h"
#include "Communication/I2c/i2cwriteregistercomobject.h"

namespace ZyrCom::Commands {

using namespace ZyrCore::Communication::I2c;

StreamRegisterCommandSet::StreamRegisterCommandSet() {
    I2cReadRegisterComObject read(0, 0, tracePattern, 1, 1);
    addCommand(QStringLiteral("I2cReadRegister"), &read);
    I2cWriteRegisterComObject write(0, 0, 0, tracePattern, 1, 1);
    addCommand(QStringLiteral("I2cWriteRegister"), &write);
    I2cModifyRegisterComObject modify(0, 0, 0, 0, tracePattern, 1, 1);
    addCommand(QStringLiteral("I2cModifyRegister"), &modify);
    I2cBlockReadRegisterComObject block(0, 0, 1, nullptr, 1, 1, maxDataSize, tracePattern);
    addCommand(QStringLiteral("I2cBlockRegister"), &block);
    I2cTxRxComObject transfer(0, 0, nullptr, 0, maxDataSize, tracePattern,
                              I2cReadRegisterComObject::i2cProtocol);
    addCommand(QStringLiteral("I2cTxRx"), &transfer);
}

} // namespace ZyrCom::Commands
