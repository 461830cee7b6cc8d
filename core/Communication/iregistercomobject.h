#ifndef ZYRCORE_COMMUNICATION_IREGISTERCOMOBJECT_H
#define ZYRCORE_COMMUNICATION_IREGISTERCOMOBJECT_H

#include "Communication/icomobject.h"

namespace ZyrCore::Communication {

// A com object that reads or writes one register.
class ZYRCORE_EXPORT IRegisterComObject : public virtual IComObject {
public:
    virtual unsigned int registerValue() const = 0;
    virtual void setRegisterValue(unsigned int value) = 0;
    virtual unsigned int registerAddress() const = 0;
    virtual void setRegisterAddress(unsigned int address) = 0;
    virtual unsigned int valueByteWidth() const = 0;
    virtual void setValueByteWidth(unsigned int width) = 0;
    virtual unsigned int addressByteWidth() const = 0;
    virtual void setAddressByteWidth(unsigned int width) = 0;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_IREGISTERCOMOBJECT_H
