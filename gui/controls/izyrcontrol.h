#ifndef ZYRGUI_CONTROLS_IZYRCONTROL_H
#define ZYRGUI_CONTROLS_IZYRCONTROL_H

#include <QString>

namespace ZyrCore::Communication {
class IRegisterCommunication;
}

namespace ZyrGui::WidgetLinking {
class IValueMapper;
class WidgetLinker;
} // namespace ZyrGui::WidgetLinking

namespace ZyrGui::Controls {

// A widget that displays and edits one device register through a widget linker. Implementers
// are QWidgets as well.
class IZyrControl {
public:
    virtual ~IZyrControl() = default;

    // Object name of the control whose linker this one joins; empty when it has its own.
    virtual QString linkedControlName() const = 0;
    // True when the control sets its own limits, so value range changes leave them alone.
    virtual bool keepsOwnValueRange() const = 0;
    virtual void initialize(ZyrCore::Communication::IRegisterCommunication* icCommunication) = 0;
    virtual void deinitialize() = 0;
    // A new mapper for this control's widget; the linker owns it.
    virtual WidgetLinking::IValueMapper*
    createValueMapper(WidgetLinking::WidgetLinker* widgetLinker) = 0;
    // The control's own linker, or null.
    virtual WidgetLinking::WidgetLinker* widgetLinker() = 0;
};

} // namespace ZyrGui::Controls

#endif // ZYRGUI_CONTROLS_IZYRCONTROL_H
