#ifndef ZYRGUI_WIDGETLINKING_VALUERANGE_H
#define ZYRGUI_WIDGETLINKING_VALUERANGE_H

#include "widgetlinking/ivaluerange.h"

namespace ZyrGui::WidgetLinking {

// One stretch of choices: count indexes from firstIndex, raw values counting up by one from
// startRaw (down when rawDirection is -1) and physical values startValue + step * offset.
// A value outside the range leaves the index of its nearer end in indexFromValue's output.
class ValueRange : public IValueRange {
public:
    ValueRange(int firstIndex, int count, unsigned int startRaw, int rawDirection,
               double startValue, double step);

    bool indexFromRaw(unsigned int raw, int& index) override;
    bool rawFromIndex(int index, unsigned int& raw) override;
    bool valueFromIndex(int index, double& value) override;
    bool indexFromValue(double value, int& index, SearchMode mode) override;
    bool valueFromRaw(unsigned int raw, double& value) override;
    bool rawFromValue(double value, unsigned int& raw, SearchMode mode) override;
    int minIndex() override;
    int maxIndex() override;
    unsigned int minRaw() override;
    unsigned int maxRaw() override;
    double minValue() override;
    double maxValue() override;

private:
    bool isDescending() const { return itsRawDirection == -1; }
    double valueAt(int offset) const { return itsStartValue + itsStep * offset; }

    int itsFirstIndex;
    int itsCount;
    unsigned int itsStartRaw;
    int itsRawDirection;
    double itsStartValue;
    double itsStep;
};

} // namespace ZyrGui::WidgetLinking

#endif // ZYRGUI_WIDGETLINKING_VALUERANGE_H
