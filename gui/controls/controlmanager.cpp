#include "controls/controlmanager.h"

#include "Tools/zyrassert.h"
#include "controls/izyrcontrol.h"
#include "widgetlinking/widgetlinker.h"

#include <QWidget>

using ZyrCore::Communication::IRegisterCommunication;

namespace ZyrGui::Controls {

namespace {
const char* const kSource = "controls/controlmanager";
}

QList<IZyrControl*>* ControlManager::instance() {
    static QList<IZyrControl*> controls;
    return &controls;
}

void ControlManager::registerControl(IZyrControl* control) {
    ZYR_ASSERT_NOT_NULL(kSource, control);
    instance()->append(control);
}

void ControlManager::unregisterControl(IZyrControl* control) {
    ZYR_ASSERT_NOT_NULL(kSource, control);
    instance()->removeAll(control);
}

void ControlManager::initializeControls(IRegisterCommunication* icCommunication, QWidget* parent) {
    ZYR_ASSERT_NOT_NULL(kSource, icCommunication);
    const QList<IZyrControl*> controls = *instance();
    for (IZyrControl* control : controls) {
        if (parent == nullptr || isBelow(control, parent))
            control->initialize(icCommunication);
    }
    for (IZyrControl* control : controls) {
        for (IZyrControl* target : linkTargets(control, controls))
            target->widgetLinker()->link(control);
    }
}

void ControlManager::deinitializeControls() {
    const QList<IZyrControl*> controls = *instance();
    for (IZyrControl* control : controls) {
        for (IZyrControl* target : linkTargets(control, controls))
            target->widgetLinker()->unlink(control);
    }
    for (IZyrControl* control : controls)
        control->deinitialize();
}

bool ControlManager::isBelow(IZyrControl* control, QWidget* parent) {
    auto* widget = dynamic_cast<QWidget*>(control);
    if (widget == nullptr)
        return false;
    for (QObject* ancestor = widget->parent(); ancestor != nullptr; ancestor = ancestor->parent()) {
        if (ancestor == parent)
            return true;
    }
    return false;
}

QList<IZyrControl*> ControlManager::linkTargets(IZyrControl* control,
                                                const QList<IZyrControl*>& all) {
    QList<IZyrControl*> targets;
    const QString name = control->linkedControlName();
    if (name.isEmpty())
        return targets;
    for (IZyrControl* other : all) {
        auto* widget = dynamic_cast<QWidget*>(other);
        if (widget != nullptr && widget->objectName() == name && other->widgetLinker() != nullptr)
            targets.append(other);
    }
    return targets;
}

} // namespace ZyrGui::Controls
