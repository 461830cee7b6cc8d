#include "widgetlinking/spinboxvaluemapper.h"

#include <QSignalBlocker>
#include <QSpinBox>

namespace ZyrGui::WidgetLinking {

SpinBoxValueMapper::SpinBoxValueMapper(QSpinBox* widget, WidgetLinker* widgetLinker)
    : ValueMapperBase(widget, widgetLinker)
    , itsSpinBox(widget) {
    connect(itsSpinBox, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &SpinBoxValueMapper::onSpinBoxValueChanged);
}

void SpinBoxValueMapper::setValue(int value) {
    int index = value;
    if (hasRanges() && !indexOfRaw(value, index))
        return;
    const QSignalBlocker blocker(itsSpinBox);
    itsSpinBox->setValue(index);
}

void SpinBoxValueMapper::updateValueRanges() {
    int minimum = 0;
    int maximum = 0;
    if (keepsOwnValueRange() || !tryGetLimits(minimum, maximum))
        return;
    const QSignalBlocker blocker(itsSpinBox);
    itsSpinBox->setRange(minimum, maximum);
}

void SpinBoxValueMapper::onSpinBoxValueChanged(int currentIndex) {
    int raw = currentIndex;
    if (hasRanges() && !rawOfIndex(currentIndex, raw))
        return;
    report(raw);
}

} // namespace ZyrGui::WidgetLinking
