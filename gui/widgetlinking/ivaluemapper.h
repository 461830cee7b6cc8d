#ifndef ZYRGUI_WIDGETLINKING_IVALUEMAPPER_H
#define ZYRGUI_WIDGETLINKING_IVALUEMAPPER_H

class QWidget;

namespace ZyrGui::WidgetLinking {

// Adapts one widget to a widget linker: shows the raw values the linker hands it and reports
// the user's edits back, translating through the linker's value ranges.
class IValueMapper {
public:
    virtual ~IValueMapper() = default;

    virtual QWidget* widget() = 0;
    // Shows a raw value coming from the linker without reporting it back.
    virtual void setValue(int value) = 0;
    // Reloads choices or limits after the linker's value ranges changed.
    virtual void updateValueRanges() = 0;
};

} // namespace ZyrGui::WidgetLinking

#endif // ZYRGUI_WIDGETLINKING_IVALUEMAPPER_H
