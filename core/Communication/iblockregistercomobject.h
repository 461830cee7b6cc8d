#ifndef ZYRCORE_COMMUNICATION_IBLOCKREGISTERCOMOBJECT_H
#define ZYRCORE_COMMUNICATION_IBLOCKREGISTERCOMOBJECT_H

#include "Communication/icomobject.h"

namespace ZyrCore::Communication {

// A com object that reads a run of consecutive registers as one block of bytes.
class ZYRCORE_EXPORT IBlockRegisterComObject : public virtual IComObject {
public:
    virtual unsigned char* data() const = 0;
    virtual unsigned int dataSize() const = 0;
    virtual void setDataSize(unsigned int size) = 0;
    virtual void setData(unsigned char* data, unsigned int size) = 0;
    virtual unsigned int blockSize() const = 0;
    virtual void setBlockSize(unsigned int size) = 0;
    virtual unsigned int startAddress() const = 0;
    virtual void setStartAddress(unsigned int address) = 0;
    virtual unsigned int addressByteWidth() const = 0;
    virtual void setAddressByteWidth(unsigned int width) = 0;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_IBLOCKREGISTERCOMOBJECT_H
