#include "Communication/I2c/registerwriterequest.h"

#include "Communication/I2c/i2cpayload.h"
#include "Communication/comobjecthelper.h"
#include "Communication/registercomobject.h"

namespace ZyrCore::Communication::I2c {

unsigned int registerWriteRequestSize(const RegisterComObject& object, unsigned int fieldCount) {
    return 1 + object.addressByteWidth() + fieldCount * object.valueByteWidth();
}

bool serializeRegisterWriteRequest(const RegisterComObject& object, unsigned char slaveAddress,
                                   std::initializer_list<unsigned int> fields,
                                   unsigned char* buffer, unsigned int size) {
    const unsigned int addressWidth = object.addressByteWidth();
    const unsigned int valueWidth = object.valueByteWidth();
    if (buffer == nullptr || !isSupportedByteWidth(addressWidth) ||
        !isSupportedByteWidth(valueWidth) || object.serializeSize() > size)
        return false;
    buffer[0] = writeAddressByte(slaveAddress);
    unsigned char* field = buffer + 1;
    ComObjectHelper::serialize(field, addressWidth, object.registerAddress());
    field += addressWidth;
    for (unsigned int value : fields) {
        ComObjectHelper::serialize(field, valueWidth, value);
        field += valueWidth;
    }
    return true;
}

} // namespace ZyrCore::Communication::I2c
