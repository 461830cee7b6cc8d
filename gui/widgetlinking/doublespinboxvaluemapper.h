#ifndef ZYRGUI_WIDGETLINKING_DOUBLESPINBOXVALUEMAPPER_H
#define ZYRGUI_WIDGETLINKING_DOUBLESPINBOXVALUEMAPPER_H

#include "widgetlinking/valuemapperbase.h"
#include "zyrdoublespinbox.h"

#include <QTimer>

namespace ZyrGui::WidgetLinking {

// A double spin box showing the physical values of the linker's ranges (raw values without
// ranges). A typed value snaps to the nearest grid point; the arrows step from index to index,
// across gaps between ranges (by the spin box's own step without ranges), repeating while held.
class DoubleSpinBoxValueMapper : public ValueMapperBase {
    Q_OBJECT

public:
    // With followWheel the mouse wheel steps one index per turn as well.
    DoubleSpinBoxValueMapper(ZyrDoubleSpinBox* widget, WidgetLinker* widgetLinker,
                             bool followWheel = false);

    void setValue(int raw) override;
    // The spin box keeps its limits; the next value or edit uses the new ranges.
    void updateValueRanges() override;

    // Reports value, snapped to the nearest grid point; truncated toward zero without ranges.
    void setValueWhenManualEdited(double value);
    // Steps delta indexes, landing on the nearest end of the next range in a gap; without ranges
    // steps the spin box by delta of its own steps, as its arrow keys do.
    void increaseIndexBy(int delta);

protected:
    // Stops a held arrow's repeat when the spin box loses the focus or is hidden.
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void onSpinBoxValueChanged(double value);
    void onSpinBoxButtonPressed(ZyrGui::ZyrDoubleSpinBox::DoubleSpinBoxButtons button);
    void onSpinBoxButtonReleased();
    void onSpinBoxButtonTimerTimeout();
    void onMouseWheelChanged(ZyrGui::ZyrDoubleSpinBox::DoubleSpinBoxButtons direction);

private:
    // Shows the value of index and reports its raw value; the linker may then show another.
    void moveTo(int index);
    void show(double value);

    ZyrDoubleSpinBox* itsSpinBox;
    double itsCurrentValue;
    int itsCurrentIndex = 0;
    int itsRepeatDirection = 1;
    QTimer itsRepeatTimer;
};

} // namespace ZyrGui::WidgetLinking

#endif // ZYRGUI_WIDGETLINKING_DOUBLESPINBOXVALUEMAPPER_H
