#ifndef ZYRGUI_WIDGETLINKING_SPINBOXVALUEMAPPER_H
#define ZYRGUI_WIDGETLINKING_SPINBOXVALUEMAPPER_H

#include "widgetlinking/valuemapperbase.h"

class QSpinBox;

namespace ZyrGui::WidgetLinking {

// A spin box whose positions are the indexes of the linker's ranges (raw values without ranges).
class SpinBoxValueMapper : public ValueMapperBase {
    Q_OBJECT

public:
    SpinBoxValueMapper(QSpinBox* widget, WidgetLinker* widgetLinker);

    void setValue(int value) override;
    // Sets the limits without reporting the value they may clamp.
    void updateValueRanges() override;

private slots:
    void onSpinBoxValueChanged(int currentIndex);

private:
    QSpinBox* itsSpinBox;
};

} // namespace ZyrGui::WidgetLinking

#endif // ZYRGUI_WIDGETLINKING_SPINBOXVALUEMAPPER_H
