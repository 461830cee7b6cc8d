#ifndef ZYRGUI_WIDGETLINKING_REGISTERLINKINFO_H
#define ZYRGUI_WIDGETLINKING_REGISTERLINKINFO_H

#include "widgetlinking/ilinkinfo.h"

namespace ZyrGui::WidgetLinking {

// Links to a bit field of one register: the field is the set bits of mask, its integer the
// field's bits shifted down. Writes change only the field's bits. The register description is
// not owned and must outlive the link.
class RegisterLinkInfo : public ILinkInfo {
public:
    RegisterLinkInfo(ZyrCore::Communication::IRegisterInfo* info, unsigned int mask);

    // Refuses a value delivered by a failed transfer (non-zero state).
    bool valueFromRegister(ZyrCore::Communication::IRegisterValue* value, int& result) override;
    // Refuses (-2) a value that does not fit the field, without a transfer.
    int writeValue(ZyrCore::Communication::IRegisterCommunication* com, int value) override;
    int maximumValue() override;
    QList<ZyrCore::Communication::IRegisterInfo*> observedRegisters() override;

private:
    ZyrCore::Communication::IRegisterInfo* itsInfo;
    unsigned int itsMask;
    int itsShift;
};

} // namespace ZyrGui::WidgetLinking

#endif // ZYRGUI_WIDGETLINKING_REGISTERLINKINFO_H
