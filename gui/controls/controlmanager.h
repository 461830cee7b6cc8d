#ifndef ZYRGUI_CONTROLS_CONTROLMANAGER_H
#define ZYRGUI_CONTROLS_CONTROLMANAGER_H

#include <QList>

class QWidget;

namespace ZyrCore::Communication {
class IRegisterCommunication;
}

namespace ZyrGui::Controls {

class IZyrControl;

// The process-wide list of register-bound controls, in registration order. It owns no control;
// a control unregisters itself before it goes.
class ControlManager {
public:
    ControlManager() = delete;

    static QList<IZyrControl*>* instance();
    static void registerControl(IZyrControl* control);
    // Removes every occurrence.
    static void unregisterControl(IZyrControl* control);

    // Initialises the controls below parent (all of them when parent is null), then links every
    // control that names another into that control's linker.
    static void initializeControls(ZyrCore::Communication::IRegisterCommunication* icCommunication,
                                   QWidget* parent);
    // Unlinks the named links, then deinitialises every control.
    static void deinitializeControls();

private:
    static bool isBelow(IZyrControl* control, QWidget* parent);
    // Every control whose widget carries the object name that control names.
    static QList<IZyrControl*> linkTargets(IZyrControl* control, const QList<IZyrControl*>& all);
};

} // namespace ZyrGui::Controls

#endif // ZYRGUI_CONTROLS_CONTROLMANAGER_H
