#include "Communication/registercomobject.h"

namespace ZyrCore::Communication {

RegisterComObject::RegisterComObject(unsigned char protocol, int serializeSize, int deserializeSize,
                                     CallingType callingType, unsigned int tracePattern,
                                     unsigned int addressByteWidth, unsigned int valueByteWidth,
                                     unsigned int registerAddress, unsigned int registerValue)
    : SerializableComObject(protocol, static_cast<unsigned int>(serializeSize),
                            static_cast<unsigned int>(deserializeSize), callingType, tracePattern)
    , itsAddressByteWidth(addressByteWidth)
    , itsValueByteWidth(valueByteWidth)
    , itsRegisterAddress(registerAddress)
    , itsRegisterValue(registerValue) {}

unsigned int RegisterComObject::registerValue() const {
    return itsRegisterValue;
}
void RegisterComObject::setRegisterValue(unsigned int value) {
    itsRegisterValue = value;
}
unsigned int RegisterComObject::registerAddress() const {
    return itsRegisterAddress;
}
void RegisterComObject::setRegisterAddress(unsigned int address) {
    itsRegisterAddress = address;
}
unsigned int RegisterComObject::valueByteWidth() const {
    return itsValueByteWidth;
}
void RegisterComObject::setValueByteWidth(unsigned int width) {
    itsValueByteWidth = width;
}
unsigned int RegisterComObject::addressByteWidth() const {
    return itsAddressByteWidth;
}
void RegisterComObject::setAddressByteWidth(unsigned int width) {
    itsAddressByteWidth = width;
}

void RegisterComObject::set(unsigned int address, unsigned int value) {
    setRegisterAddress(address);
    setRegisterValue(value);
}

} // namespace ZyrCore::Communication
