#include "widgetlinking/valuemapperbase.h"

#include "Tools/zyrassert.h"
#include "controls/izyrcontrol.h"
#include "widgetlinking/ilinkinfo.h"
#include "widgetlinking/widgetlinker.h"

#include <limits>

namespace ZyrGui::WidgetLinking {

namespace {
const char* const kSource = "widgetlinking/valuemapperbase";
}

ValueMapperBase::ValueMapperBase(QWidget* widget, WidgetLinker* widgetLinker)
    : QObject(nullptr)
    , itsWidget(widget)
    , itsLinker(widgetLinker) {
    ZYR_ASSERT_NOT_NULL(kSource, widget);
    ZYR_ASSERT_NOT_NULL(kSource, widgetLinker);
}

ValueMapperBase::~ValueMapperBase() {
    if (itsWidget != nullptr)
        itsWidget->removeEventFilter(this);
}

QWidget* ValueMapperBase::widget() {
    return itsWidget;
}

ValueRangeCollection* ValueMapperBase::ranges() const {
    return itsLinker->valueRanges();
}

bool ValueMapperBase::hasRanges() const {
    return !ranges()->isEmpty();
}

bool ValueMapperBase::keepsOwnValueRange() const {
    auto* control = dynamic_cast<Controls::IZyrControl*>(itsWidget.data());
    return control != nullptr && control->keepsOwnValueRange();
}

void ValueMapperBase::report(int raw, bool fromWidget) {
    itsLinker->setValue(raw, fromWidget, this);
}

bool ValueMapperBase::indexOfRaw(int raw, int& index) const {
    return raw >= 0 && ranges()->indexFromRaw(unsigned(raw), index);
}

bool ValueMapperBase::rawOfIndex(int index, int& raw) const {
    unsigned int found = 0;
    if (!ranges()->rawFromIndex(index, found) || found > unsigned(std::numeric_limits<int>::max()))
        return false;
    raw = int(found);
    return true;
}

bool ValueMapperBase::tryGetLimits(int& minimum, int& maximum) const {
    if (hasRanges()) {
        minimum = ranges()->minIndex();
        maximum = ranges()->maxIndex();
        return true;
    }
    // Unattached, the linker has no link that knows the largest value.
    if (itsLinker->linkInfo() == nullptr)
        return false;
    minimum = 0;
    maximum = itsLinker->linkInfo()->maximumValue();
    return true;
}

} // namespace ZyrGui::WidgetLinking
