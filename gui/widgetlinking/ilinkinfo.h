#ifndef ZYRGUI_WIDGETLINKING_ILINKINFO_H
#define ZYRGUI_WIDGETLINKING_ILINKINFO_H

#include <QList>

namespace ZyrCore::Communication {
class IRegisterCommunication;
class IRegisterInfo;
class IRegisterValue;
} // namespace ZyrCore::Communication

namespace ZyrGui::WidgetLinking {

// Tells a widget linker which registers it stands for and how their values become integers.
class ILinkInfo {
public:
    virtual ~ILinkInfo() = default;

    // The integer for a register value; false when the value does not concern this link.
    virtual bool valueFromRegister(ZyrCore::Communication::IRegisterValue* value, int& result) = 0;
    // Writes value to the device; the register operation's result (0 success).
    virtual int writeValue(ZyrCore::Communication::IRegisterCommunication* com, int value) = 0;
    // The largest raw value, for widgets without value ranges.
    virtual int maximumValue() = 0;
    virtual QList<ZyrCore::Communication::IRegisterInfo*> observedRegisters() = 0;
};

} // namespace ZyrGui::WidgetLinking

#endif // ZYRGUI_WIDGETLINKING_ILINKINFO_H
