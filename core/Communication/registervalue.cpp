#include "Communication/registervalue.h"

#include "Tools/zyrassert.h"

namespace ZyrCore::Communication {

namespace {
const char* const kSource = "Communication/registervalue";
}

RegisterValue::RegisterValue(unsigned int value, char state)
    : itsValue(value)
    , itsState(state) {}

IRegisterValue* RegisterValue::clone() {
    return new RegisterValue(*this);
}

void RegisterValue::setValue(unsigned int value) {
    itsValue = value;
    itsState = 0;
}

void RegisterValue::setState(char state) {
    itsState = state;
}

void RegisterValue::modifyValue(IRegisterValue* value, IRegisterValue* mask) {
    auto* modValue = dynamic_cast<RegisterValue*>(value);
    ZYR_ASSERT_NOT_NULL(kSource, modValue);
    auto* modMask = dynamic_cast<RegisterValue*>(mask);
    ZYR_ASSERT_NOT_NULL(kSource, modMask);
    setValue((itsValue & ~modMask->value()) | (modValue->value() & modMask->value()));
}

unsigned int RegisterValue::value() const {
    return itsValue;
}

char RegisterValue::state() const {
    return itsState;
}

} // namespace ZyrCore::Communication
