#include "widgetlinking/checkboxvaluemapper.h"

#include "Tools/zyrassert.h"

#include <QCheckBox>
#include <QSignalBlocker>

namespace ZyrGui::WidgetLinking {

namespace {
const char* const kSource = "widgetlinking/checkboxvaluemapper";
}

CheckBoxValueMapper::CheckBoxValueMapper(QCheckBox* widget, WidgetLinker* widgetLinker,
                                         bool inverted)
    : ValueMapperBase(widget, widgetLinker)
    , itsCheckBox(widget)
    , itsInverted(inverted) {
    connect(itsCheckBox, &QCheckBox::stateChanged, this,
            &CheckBoxValueMapper::onCheckBoxStateChanged);
}

void CheckBoxValueMapper::setValue(int value) {
    ZYR_ASSERT(kSource, !hasRanges(), "Don't use value ranges for checkboxes");
    const QSignalBlocker blocker(itsCheckBox);
    if (value != 0 && value != 1) {
        itsCheckBox->setCheckState(Qt::PartiallyChecked);
        return;
    }
    // Back to two states, so the user cannot pick the undefined one.
    itsCheckBox->setTristate(false);
    itsCheckBox->setChecked((value == 1) != itsInverted);
}

void CheckBoxValueMapper::updateValueRanges() {}

void CheckBoxValueMapper::onCheckBoxStateChanged(int state) {
    ZYR_ASSERT(kSource, !hasRanges(), "Don't use value ranges for checkboxes");
    if (state == Qt::PartiallyChecked)
        return;
    report((state == Qt::Checked) != itsInverted ? 1 : 0);
}

} // namespace ZyrGui::WidgetLinking
