#include "raspi/streamcontrolcommandset.h"

#include "Communication/Control/firmwarenumbercomobject.h"
#include "Communication/Control/resetfwcomobject.h"
#include "Communication/I2c/i2cconfigcomobject.h"

namespace ZyrCom::Commands {

using namespace ZyrCore::Communication;

StreamControlCommandSet::StreamControlCommandSet() {
    I2c::I2cConfigComObject config(0, 1, 0, i2cTracePattern);
    addCommand(QStringLiteral("I2cConfig"), &config);
    Control::ResetFwComObject reset(0, controlTracePattern);
    addCommand(QStringLiteral("Reset"), &reset);
    Control::FirmwareNumberComObject firmwareNumber(controlTracePattern);
    addCommand(QStringLiteral("FirmwareNumber"), &firmwareNumber);
}

} // namespace ZyrCom::Commands
