#ifndef ZYRCORE_COMMUNICATION_I2C_REGISTERWRITEREQUEST_H
#define ZYRCORE_COMMUNICATION_I2C_REGISTERWRITEREQUEST_H

#include <initializer_list>

namespace ZyrCore::Communication {
class RegisterComObject;
}

namespace ZyrCore::Communication::I2c {

// The request of a register write on the bus: the write-phase address byte, the register address
// in the address width, then the fields (the value, and for a masked write its mask) in the value
// width, each big-endian.

// Its size with the object's widths and fieldCount fields.
unsigned int registerWriteRequestSize(const RegisterComObject& object, unsigned int fieldCount);

// Writes it for the object's register and slaveAddress. False, with nothing written, when buffer
// is null or holds less than the object's request size, or a width is not 0, 1, 2 or 4.
bool serializeRegisterWriteRequest(const RegisterComObject& object, unsigned char slaveAddress,
                                   std::initializer_list<unsigned int> fields,
                                   unsigned char* buffer, unsigned int size);

} // namespace ZyrCore::Communication::I2c

#endif // ZYRCORE_COMMUNICATION_I2C_REGISTERWRITEREQUEST_H
