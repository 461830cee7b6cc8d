#ifndef ZYRGUI_WIDGETLINKING_CHECKBOXVALUEMAPPER_H
#define ZYRGUI_WIDGETLINKING_CHECKBOXVALUEMAPPER_H

#include "widgetlinking/valuemapperbase.h"

class QCheckBox;

namespace ZyrGui::WidgetLinking {

// A check box for a one-bit value: checked is 1 (0 when inverted); any other value shows
// partially checked. Value ranges are not allowed.
class CheckBoxValueMapper : public ValueMapperBase {
    Q_OBJECT

public:
    CheckBoxValueMapper(QCheckBox* widget, WidgetLinker* widgetLinker, bool inverted);

    void setValue(int value) override;
    void updateValueRanges() override;

private slots:
    void onCheckBoxStateChanged(int state);

private:
    QCheckBox* itsCheckBox;
    bool itsInverted;
};

} // namespace ZyrGui::WidgetLinking

#endif // ZYRGUI_WIDGETLINKING_CHECKBOXVALUEMAPPER_H
