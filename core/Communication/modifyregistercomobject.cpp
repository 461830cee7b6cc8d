#include "Communication/modifyregistercomobject.h"

namespace ZyrCore::Communication {

ModifyRegisterComObject::ModifyRegisterComObject(
    unsigned char protocol, int serializeSize, int deserializeSize, CallingType callingType,
    unsigned int tracePattern, unsigned int addressByteWidth, unsigned int valueByteWidth,
    unsigned int registerAddress, unsigned int registerValue, unsigned int mask)
    : RegisterComObject(protocol, serializeSize, deserializeSize, callingType, tracePattern,
                        addressByteWidth, valueByteWidth, registerAddress, registerValue)
    , itsMask(mask) {}

unsigned int ModifyRegisterComObject::mask() const {
    return itsMask;
}
void ModifyRegisterComObject::setMask(unsigned int mask) {
    itsMask = mask;
}

} // namespace ZyrCore::Communication
