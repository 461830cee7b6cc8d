#ifndef ZYRCORE_COMMUNICATION_IREGISTERCOMOBJECTPROVIDER_H
#define ZYRCORE_COMMUNICATION_IREGISTERCOMOBJECTPROVIDER_H

#include "zyrcore_global.h"

namespace ZyrCore::Communication {

class IBlockRegisterComObject;
class IModifyRegisterComObject;
class IRegisterComObject;

// Makes the bus-specific com objects for register access. Every call returns a new object that
// the caller owns; a provider without modify objects returns null from createModifyRegisterObject.
class ZYRCORE_EXPORT IRegisterComObjectProvider {
public:
    virtual ~IRegisterComObjectProvider() = default;

    virtual IRegisterComObject* createReadRegisterObject() = 0;
    virtual IRegisterComObject* createWriteRegisterObject() = 0;
    virtual IModifyRegisterComObject* createModifyRegisterObject() = 0;
    virtual IBlockRegisterComObject* createBlockRegisterObject() = 0;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_IREGISTERCOMOBJECTPROVIDER_H
