#ifndef ZYRCORE_COMMUNICATION_I2C_REGISTERTELEGRAMFIELDS_H
#define ZYRCORE_COMMUNICATION_I2C_REGISTERTELEGRAMFIELDS_H

#include "zyrcore_global.h"

class QXmlStreamReader;
class QXmlStreamWriter;

namespace ZyrCore::Communication {
class IRegisterComObject;
}

namespace ZyrCore::Communication::I2c {

// The values of a single-register I2C telegram, read apart from the object so that a telegram
// that fails leaves the object as it was.
struct RegisterTelegramFields {
    unsigned char slaveAddress = 0;
    unsigned int addressByteWidth = 0;
    unsigned int registerAddress = 0;
    unsigned int valueByteWidth = 0;
    unsigned int registerValue = 0;
    unsigned int mask = 0;

    static RegisterTelegramFields of(const IRegisterComObject& object, unsigned char slaveAddress);

    // Writes the children every register telegram starts with: SlaveAddress, AddressSize,
    // Address and DataSize.
    void writeAddressing(QXmlStreamWriter* writer) const;

    // Reads the children of the write or modify element (Mask only when withMask); a child that
    // does not convert fails at once, and so do widths the payload cannot carry.
    bool read(QXmlStreamReader* reader, bool withMask);
    // Both widths are 0, 1, 2 or 4, so the request stays within its frame.
    bool hasByteWidths() const;
    // Widths first: the object's sizes follow them.
    void applyTo(IRegisterComObject& object) const;
};

} // namespace ZyrCore::Communication::I2c

#endif // ZYRCORE_COMMUNICATION_I2C_REGISTERTELEGRAMFIELDS_H
