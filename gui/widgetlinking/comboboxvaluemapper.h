#ifndef ZYRGUI_WIDGETLINKING_COMBOBOXVALUEMAPPER_H
#define ZYRGUI_WIDGETLINKING_COMBOBOXVALUEMAPPER_H

#include "widgetlinking/valuemapperbase.h"

class QComboBox;

namespace ZyrGui::WidgetLinking {

// A combo box with one row per index of the linker's ranges, counted from the lowest index and
// labelled with the index's value ("NA" where none); without ranges the rows are the raw values.
class ComboBoxValueMapper : public ValueMapperBase {
    Q_OBJECT

public:
    ComboBoxValueMapper(QComboBox* widget, WidgetLinker* widgetLinker);

    // A value the rows do not hold selects no row.
    void setValue(int value) override;
    // Rebuilds the rows without reporting a choice, then shows the device's value again.
    void updateValueRanges() override;

private slots:
    void onComboBoxCurrentIndexChanged(int currentIndex);

private:
    QComboBox* itsComboBox;
};

} // namespace ZyrGui::WidgetLinking

#endif // ZYRGUI_WIDGETLINKING_COMBOBOXVALUEMAPPER_H
