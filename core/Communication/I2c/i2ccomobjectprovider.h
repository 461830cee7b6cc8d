#ifndef ZYRCORE_COMMUNICATION_I2C_I2CCOMOBJECTPROVIDER_H
#define ZYRCORE_COMMUNICATION_I2C_I2CCOMOBJECTPROVIDER_H

#include "Communication/iregistercomobjectprovider.h"

namespace ZyrCore::Communication::I2c {

// Hands out I2C register com objects for one slave address, with widths 1 and the trace pattern
// of register traffic. Must be configured before the first create call.
class ZYRCORE_EXPORT I2cComObjectProvider : public virtual IRegisterComObjectProvider {
public:
    static constexpr unsigned int registerTracePattern = 0x8000000;
    static constexpr unsigned int blockMaxDataSize = 1088;

    I2cComObjectProvider() = default;

    // May be called again to change the address.
    void setConfiguration(unsigned char slaveAddress);

    IRegisterComObject* createReadRegisterObject() override;
    IRegisterComObject* createWriteRegisterObject() override;
    IModifyRegisterComObject* createModifyRegisterObject() override;
    IBlockRegisterComObject* createBlockRegisterObject() override;

private:
    void checkInitialized() const;

    bool itsIsInitialized = false;
    unsigned char itsSlaveAddress = 0;
};

} // namespace ZyrCore::Communication::I2c

#endif // ZYRCORE_COMMUNICATION_I2C_I2CCOMOBJECTPROVIDER_H
