#ifndef ZYRCORE_COMMUNICATION_MODIFYREGISTERCOMOBJECT_H
#define ZYRCORE_COMMUNICATION_MODIFYREGISTERCOMOBJECT_H

#include "Communication/imodifyregistercomobject.h"
#include "Communication/registercomobject.h"

namespace ZyrCore::Communication {

// A register com object with the mask of a masked write.
class ZYRCORE_EXPORT ModifyRegisterComObject : public RegisterComObject,
                                               public virtual IModifyRegisterComObject {
public:
    ModifyRegisterComObject(unsigned char protocol, int serializeSize, int deserializeSize,
                            CallingType callingType, unsigned int tracePattern,
                            unsigned int addressByteWidth, unsigned int valueByteWidth,
                            unsigned int registerAddress, unsigned int registerValue,
                            unsigned int mask);
    ModifyRegisterComObject(const ModifyRegisterComObject& other) = default;

    unsigned int mask() const override;
    void setMask(unsigned int mask) override;

private:
    unsigned int itsMask;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_MODIFYREGISTERCOMOBJECT_H
