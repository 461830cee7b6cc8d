#ifndef ZYRGUI_WIDGETLINKING_VALUEMAPPERBASE_H
#define ZYRGUI_WIDGETLINKING_VALUEMAPPERBASE_H

#include "widgetlinking/ivaluemapper.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace ZyrGui::WidgetLinking {

class ValueRangeCollection;
class WidgetLinker;

// What every value mapper shares: its widget (not owned, forgotten when destroyed), its linker
// (not owned) and the conversions between raw values and widget indexes. Connections to the
// widget end with the mapper.
class ValueMapperBase : public QObject, public IValueMapper {
public:
    ValueMapperBase(const ValueMapperBase&) = delete;
    ValueMapperBase& operator=(const ValueMapperBase&) = delete;
    ~ValueMapperBase() override;

    QWidget* widget() override;

protected:
    ValueMapperBase(QWidget* widget, WidgetLinker* widgetLinker);

    WidgetLinker* linker() const { return itsLinker; }
    ValueRangeCollection* ranges() const;
    bool hasRanges() const;
    // Whether the widget is a register-bound control that keeps its own limits.
    bool keepsOwnValueRange() const;
    // Hands a user edit to the linker; a preview (fromWidget false) does not reach the device.
    void report(int raw, bool fromWidget = true);

    // Through the linker's ranges; false when not covered.
    bool indexOfRaw(int raw, int& index) const;
    bool rawOfIndex(int index, int& raw) const;
    // The limits of the widget: the ranges' indexes, or 0 .. the link's largest raw value.
    // False when neither is known (no ranges and no link).
    bool tryGetLimits(int& minimum, int& maximum) const;

private:
    QPointer<QWidget> itsWidget;
    WidgetLinker* itsLinker;
};

} // namespace ZyrGui::WidgetLinking

#endif // ZYRGUI_WIDGETLINKING_VALUEMAPPERBASE_H
