#include "widgetlinking/valuerange.h"

#include "Tools/zyrassert.h"

#include <QtGlobal>

#include <cmath>
#include <limits>

namespace ZyrGui::WidgetLinking {

namespace {
const char* const kSource = "widgetlinking/valuerange";

// Offsets closer than this to a grid point count as on it, so 1.3 on a 0.1 grid is exact.
constexpr double kGridTolerance = 1e-9;
} // namespace

ValueRange::ValueRange(int firstIndex, int count, unsigned int startRaw, int rawDirection,
                       double startValue, double step)
    : itsFirstIndex(firstIndex)
    , itsCount(count)
    , itsStartRaw(startRaw)
    , itsRawDirection(rawDirection)
    , itsStartValue(startValue)
    , itsStep(step) {
    ZYR_ASSERT(kSource, count >= 1, "a value range holds at least one index");
    ZYR_ASSERT(kSource, qint64(firstIndex) + count - 1 <= std::numeric_limits<int>::max(),
               "the indexes exceed the int range");
    const qint64 lastRaw =
        rawDirection == -1 ? qint64(startRaw) - (count - 1) : qint64(startRaw) + (count - 1);
    ZYR_ASSERT(kSource, lastRaw >= 0 && lastRaw <= qint64(std::numeric_limits<unsigned>::max()),
               "the raw values exceed the unsigned range");
}

bool ValueRange::indexFromRaw(unsigned int raw, int& index) {
    if (raw < minRaw() || raw > maxRaw())
        return false;
    const qint64 offset = isDescending() ? qint64(itsStartRaw) - raw : qint64(raw) - itsStartRaw;
    index = itsFirstIndex + int(offset);
    return true;
}

bool ValueRange::rawFromIndex(int index, unsigned int& raw) {
    if (index < minIndex() || index > maxIndex())
        return false;
    const unsigned int offset = unsigned(qint64(index) - itsFirstIndex);
    raw = isDescending() ? itsStartRaw - offset : itsStartRaw + offset;
    return true;
}

bool ValueRange::valueFromIndex(int index, double& value) {
    if (index < minIndex() || index > maxIndex())
        return false;
    value = valueAt(index - itsFirstIndex);
    return true;
}

bool ValueRange::indexFromValue(double value, int& index, SearchMode mode) {
    const int last = itsCount - 1;
    if (!(value >= minValue() && value <= maxValue())) {
        // Outside (or not a number): leave the end whose value is nearer.
        const bool nearerToFirst = std::abs(valueAt(0) - value) <= std::abs(valueAt(last) - value);
        index = itsFirstIndex + (nearerToFirst ? 0 : last);
        return false;
    }
    const double position =
        itsStep == 0.0 ? 0.0 : qBound(0.0, (value - itsStartValue) / itsStep, double(last));
    const bool ascending = itsStep >= 0.0;
    double offset = 0.0;
    switch (mode) {
    case SearchMode::Exact:
        offset = std::round(position);
        if (std::abs(position - offset) >= kGridTolerance)
            return false;
        break;
    case SearchMode::Nearest:
        offset = std::round(position);
        break;
    case SearchMode::Floor: // the largest grid value not above value
        offset = ascending ? std::floor(position + kGridTolerance)
                           : std::ceil(position - kGridTolerance);
        break;
    case SearchMode::Ceiling: // the smallest grid value not below value
        offset = ascending ? std::ceil(position - kGridTolerance)
                           : std::floor(position + kGridTolerance);
        break;
    }
    index = itsFirstIndex + qBound(0, int(offset), last);
    return true;
}

bool ValueRange::valueFromRaw(unsigned int raw, double& value) {
    int index = 0;
    return indexFromRaw(raw, index) && valueFromIndex(index, value);
}

bool ValueRange::rawFromValue(double value, unsigned int& raw, SearchMode mode) {
    int index = 0;
    return indexFromValue(value, index, mode) && rawFromIndex(index, raw);
}

int ValueRange::minIndex() {
    return itsFirstIndex;
}

int ValueRange::maxIndex() {
    return itsFirstIndex + itsCount - 1;
}

unsigned int ValueRange::minRaw() {
    return isDescending() ? itsStartRaw - unsigned(itsCount - 1) : itsStartRaw;
}

unsigned int ValueRange::maxRaw() {
    return isDescending() ? itsStartRaw : itsStartRaw + unsigned(itsCount - 1);
}

double ValueRange::minValue() {
    return itsStep < 0.0 ? valueAt(itsCount - 1) : itsStartValue;
}

double ValueRange::maxValue() {
    return itsStep < 0.0 ? itsStartValue : valueAt(itsCount - 1);
}

} // namespace ZyrGui::WidgetLinking
