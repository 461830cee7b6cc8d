#ifndef ZYRCORE_COMMUNICATION_IREGISTERVALUE_H
#define ZYRCORE_COMMUNICATION_IREGISTERVALUE_H

#include "zyrcore_global.h"

namespace ZyrCore::Communication {

// The value of one register with the status byte of the com object that last delivered it.
class ZYRCORE_EXPORT IRegisterValue {
public:
    virtual ~IRegisterValue() = default;

    virtual IRegisterValue* clone() = 0;
    virtual void setValue(unsigned int value) = 0;
    virtual void setState(char state) = 0;
    // Takes the bits of value that mask selects and keeps the others.
    virtual void modifyValue(IRegisterValue* value, IRegisterValue* mask) = 0;
    virtual unsigned int value() const = 0;
    virtual char state() const = 0;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_IREGISTERVALUE_H
