#include "Communication/I2c/i2ccomobjectprovider.h"

#include "Communication/I2c/i2cblockreadregistercomobject.h"
#include "Communication/I2c/i2cmodifyregistercomobject.h"
#include "Communication/I2c/i2creadregistercomobject.h"
#include "Communication/I2c/i2cwriteregistercomobject.h"
#include "Tools/zyrassert.h"

namespace ZyrCore::Communication::I2c {

namespace {
const char* const kSource = "Communication/I2c/i2ccomobjectprovider";
}

void I2cComObjectProvider::setConfiguration(unsigned char slaveAddress) {
    itsSlaveAddress = slaveAddress;
    itsIsInitialized = true;
}

IRegisterComObject* I2cComObjectProvider::createReadRegisterObject() {
    checkInitialized();
    return new I2cReadRegisterComObject(itsSlaveAddress, 0, registerTracePattern, 1, 1);
}

IRegisterComObject* I2cComObjectProvider::createWriteRegisterObject() {
    checkInitialized();
    return new I2cWriteRegisterComObject(itsSlaveAddress, 0, 0, registerTracePattern, 1, 1);
}

IModifyRegisterComObject* I2cComObjectProvider::createModifyRegisterObject() {
    checkInitialized();
    return new I2cModifyRegisterComObject(itsSlaveAddress, 0, 0, 0, registerTracePattern, 1, 1);
}

IBlockRegisterComObject* I2cComObjectProvider::createBlockRegisterObject() {
    checkInitialized();
    return new I2cBlockReadRegisterComObject(itsSlaveAddress, 0, 1, nullptr, 1, 1, blockMaxDataSize,
                                             registerTracePattern);
}

void I2cComObjectProvider::checkInitialized() const {
    ZYR_ASSERT(kSource, itsIsInitialized, "ComObjectProvider is not initialized.");
}

} // namespace ZyrCore::Communication::I2c
