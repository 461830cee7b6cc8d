#ifndef ZYRCORE_COMMUNICATION_REGISTERVALUE_H
#define ZYRCORE_COMMUNICATION_REGISTERVALUE_H

#include "Communication/iregistervalue.h"

namespace ZyrCore::Communication {

// A 32-bit register value; its state is 0 when set locally and otherwise the status byte of the
// com object that delivered it.
class ZYRCORE_EXPORT RegisterValue : public IRegisterValue {
public:
    RegisterValue() = default;
    RegisterValue(unsigned int value, char state);
    RegisterValue(const RegisterValue& other) = default;
    RegisterValue& operator=(const RegisterValue& other) = default;

    IRegisterValue* clone() override;
    void setValue(unsigned int value) override;
    void setState(char state) override;
    // Both arguments must be RegisterValue objects.
    void modifyValue(IRegisterValue* value, IRegisterValue* mask) override;
    unsigned int value() const override;
    char state() const override;

private:
    unsigned int itsValue = 0;
    char itsState = 0;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_REGISTERVALUE_H
