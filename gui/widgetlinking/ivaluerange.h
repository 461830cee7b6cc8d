#ifndef ZYRGUI_WIDGETLINKING_IVALUERANGE_H
#define ZYRGUI_WIDGETLINKING_IVALUERANGE_H

namespace ZyrGui::WidgetLinking {

// How a value between or outside the grid points of a range is matched to an index.
enum class SearchMode { Exact = 0, Floor = 1, Nearest = 2, Ceiling = 3 };

// Consecutive indexes standing for raw register values and for physical values. The bool
// operations return false when the input is not covered and then leave the output untouched,
// unless an implementation says otherwise.
class IValueRange {
public:
    virtual ~IValueRange() = default;

    virtual bool indexFromRaw(unsigned int raw, int& index) = 0;
    virtual bool rawFromIndex(int index, unsigned int& raw) = 0;
    virtual bool valueFromIndex(int index, double& value) = 0;
    virtual bool indexFromValue(double value, int& index, SearchMode mode) = 0;
    virtual bool valueFromRaw(unsigned int raw, double& value) = 0;
    virtual bool rawFromValue(double value, unsigned int& raw, SearchMode mode) = 0;
    virtual int minIndex() = 0;
    virtual int maxIndex() = 0;
    virtual unsigned int minRaw() = 0;
    virtual unsigned int maxRaw() = 0;
    virtual double minValue() = 0;
    virtual double maxValue() = 0;
};

} // namespace ZyrGui::WidgetLinking

#endif // ZYRGUI_WIDGETLINKING_IVALUERANGE_H
