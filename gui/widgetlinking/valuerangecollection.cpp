#include "widgetlinking/valuerangecollection.h"

#include "Tools/zyrassert.h"

#include <QtGlobal>

#include <cfloat>
#include <cmath>
#include <limits>

namespace ZyrGui::WidgetLinking {

namespace {
const char* const kSource = "widgetlinking/valuerangecollection";

// Values of a shared index that differ by less than this agree.
constexpr double kAgreement = 100 * DBL_EPSILON;

qint64 distance(qint64 a, qint64 b) {
    return a > b ? a - b : b - a;
}

// The first range of ranges whose key is above (or below) position with the smallest distance.
template <typename Key>
IValueRange* closestBeyond(const QList<IValueRange*>& ranges, qint64 position, Key key,
                           bool above) {
    IValueRange* best = nullptr;
    qint64 bestDistance = 0;
    for (IValueRange* range : ranges) {
        const qint64 end = key(range);
        if (above ? end <= position : end >= position)
            continue;
        if (best == nullptr || distance(position, end) < bestDistance) {
            best = range;
            bestDistance = distance(position, end);
        }
    }
    return best;
}

// The range with an end closest to position; the later one on a tie.
template <typename Low, typename High>
IValueRange* closestEnd(const QList<IValueRange*>& ranges, qint64 position, Low low, High high) {
    IValueRange* best = nullptr;
    qint64 bestDistance = std::numeric_limits<qint64>::max();
    for (IValueRange* range : ranges) {
        const qint64 nearest =
            qMin(distance(position, low(range)), distance(position, high(range)));
        if (nearest <= bestDistance) {
            best = range;
            bestDistance = nearest;
        }
    }
    return best;
}

// The end index of range whose value is nearer to value.
int nearerEnd(IValueRange* range, double value) {
    double low = 0.0;
    double high = 0.0;
    if (!range->valueFromIndex(range->minIndex(), low) ||
        !range->valueFromIndex(range->maxIndex(), high))
        return range->minIndex();
    return std::abs(low - value) <= std::abs(high - value) ? range->minIndex() : range->maxIndex();
}
} // namespace

ValueRangeCollection::ValueRangeCollection()
    : QObject(nullptr) {}

ValueRangeCollection::~ValueRangeCollection() {
    qDeleteAll(itsRanges);
}

bool ValueRangeCollection::addValueRange(IValueRange* valueRange) {
    ZYR_ASSERT_NOT_NULL(kSource, valueRange);
    for (IValueRange* held : itsRanges) {
        if (held == valueRange || conflicts(held, valueRange))
            return false;
    }
    itsRanges.append(valueRange);
    int position = 0;
    while (position < itsSortedRanges.size() &&
           itsSortedRanges.at(position)->minValue() <= valueRange->minValue())
        ++position;
    itsSortedRanges.insert(position, valueRange);
    recomputeBounds();
    emit valueRangeChanged();
    return true;
}

void ValueRangeCollection::clear(bool deleteRanges) {
    itsSortedRanges.clear();
    if (deleteRanges) {
        qDeleteAll(itsRanges);
        itsEmpty = true;
    }
    itsRanges.clear();
    emit valueRangeChanged();
}

bool ValueRangeCollection::isEmpty() const {
    return itsEmpty;
}

QList<IValueRange*> ValueRangeCollection::valueRanges() const {
    return itsRanges;
}

bool ValueRangeCollection::conflicts(IValueRange* held, IValueRange* added) {
    if (held->minRaw() <= added->maxRaw() && added->minRaw() <= held->maxRaw())
        return true;
    const int first = qMax(held->minIndex(), added->minIndex());
    const int last = qMin(held->maxIndex(), added->maxIndex());
    for (qint64 index = first; index <= last; ++index) {
        double heldValue = 0.0;
        double addedValue = 0.0;
        if (!held->valueFromIndex(int(index), heldValue) ||
            !added->valueFromIndex(int(index), addedValue) ||
            !(std::abs(heldValue - addedValue) < kAgreement))
            return true;
    }
    return false;
}

void ValueRangeCollection::recomputeBounds() {
    itsMinIndex = std::numeric_limits<int>::max();
    itsMaxIndex = std::numeric_limits<int>::min();
    itsMinRaw = std::numeric_limits<unsigned int>::max();
    itsMaxRaw = 0;
    itsMinValue = std::numeric_limits<double>::max();
    itsMaxValue = std::numeric_limits<double>::lowest();
    itsEmpty = true;
    for (IValueRange* range : itsRanges) {
        itsEmpty = false;
        itsMinIndex = qMin(itsMinIndex, range->minIndex());
        itsMaxIndex = qMax(itsMaxIndex, range->maxIndex());
        itsMinRaw = qMin(itsMinRaw, range->minRaw());
        itsMaxRaw = qMax(itsMaxRaw, range->maxRaw());
        itsMinValue = qMin(itsMinValue, range->minValue());
        itsMaxValue = qMax(itsMaxValue, range->maxValue());
    }
}

bool ValueRangeCollection::indexFromRaw(unsigned int raw, int& index) {
    for (IValueRange* range : itsRanges) {
        if (range->indexFromRaw(raw, index))
            return true;
    }
    return false;
}

bool ValueRangeCollection::rawFromIndex(int index, unsigned int& raw) {
    for (IValueRange* range : itsRanges) {
        if (range->rawFromIndex(index, raw))
            return true;
    }
    return false;
}

bool ValueRangeCollection::valueFromIndex(int index, double& value) {
    for (IValueRange* range : itsRanges) {
        if (range->valueFromIndex(index, value))
            return true;
    }
    return false;
}

bool ValueRangeCollection::indexFromValue(double value, int& index, SearchMode mode) {
    switch (mode) {
    case SearchMode::Nearest:
        break;
    case SearchMode::Exact:
        ZYR_ASSERT(kSource, false, "SearchMode::Exact not supported");
        break;
    case SearchMode::Floor:
        ZYR_ASSERT(kSource, false, "SearchMode::Floor not supported");
        break;
    case SearchMode::Ceiling:
        ZYR_ASSERT(kSource, false, "SearchMode::Ceiling not supported");
        break;
    default:
        ZYR_ASSERT(kSource, false, "invalid search mode");
    }
    double bestDistance = std::numeric_limits<double>::infinity();
    for (IValueRange* range : itsRanges) {
        // A range that does not cover the value may leave its own choice of end; when it
        // leaves none, the end nearer by value stands.
        int candidate = nearerEnd(range, value);
        if (range->indexFromValue(value, candidate, SearchMode::Nearest)) {
            index = candidate;
            return true;
        }
        double rangeDistance = std::numeric_limits<double>::infinity();
        if (range->minValue() > value)
            rangeDistance = range->minValue() - value;
        else if (range->maxValue() < value)
            rangeDistance = value - range->maxValue();
        if (rangeDistance < bestDistance) {
            index = candidate;
            bestDistance = rangeDistance;
        }
    }
    return true;
}

bool ValueRangeCollection::valueFromRaw(unsigned int raw, double& value) {
    int index = 0;
    return indexFromRaw(raw, index) && valueFromIndex(index, value);
}

bool ValueRangeCollection::rawFromValue(double value, unsigned int& raw, SearchMode mode) {
    int index = -1;
    return indexFromValue(value, index, mode) && rawFromIndex(index, raw);
}

int ValueRangeCollection::minIndex() {
    return itsMinIndex;
}

int ValueRangeCollection::maxIndex() {
    return itsMaxIndex;
}

unsigned int ValueRangeCollection::minRaw() {
    return itsMinRaw;
}

unsigned int ValueRangeCollection::maxRaw() {
    return itsMaxRaw;
}

double ValueRangeCollection::minValue() {
    return itsMinValue;
}

double ValueRangeCollection::maxValue() {
    return itsMaxValue;
}

IValueRange* ValueRangeCollection::rangeOfIndex(int index) const {
    for (IValueRange* range : itsRanges) {
        if (range->minIndex() <= index && index <= range->maxIndex())
            return range;
    }
    return nullptr;
}

IValueRange* ValueRangeCollection::rangeOfValue(double value) const {
    for (IValueRange* range : itsRanges) {
        if (range->minValue() <= value && value <= range->maxValue())
            return range;
    }
    return nullptr;
}

IValueRange* ValueRangeCollection::rangeOfRaw(unsigned int raw) const {
    for (IValueRange* range : itsRanges) {
        if (range->minRaw() <= raw && raw <= range->maxRaw())
            return range;
    }
    return nullptr;
}

IValueRange* ValueRangeCollection::nextRangeByIndex(int index) const {
    return closestBeyond(
        itsRanges, index, [](IValueRange* range) { return qint64(range->minIndex()); }, true);
}

IValueRange* ValueRangeCollection::previousRangeByIndex(int index) const {
    return closestBeyond(
        itsRanges, index, [](IValueRange* range) { return qint64(range->maxIndex()); }, false);
}

IValueRange* ValueRangeCollection::nextRangeByRaw(unsigned int raw) const {
    return closestBeyond(
        itsRanges, raw, [](IValueRange* range) { return qint64(range->minRaw()); }, true);
}

IValueRange* ValueRangeCollection::previousRangeByRaw(unsigned int raw) const {
    return closestBeyond(
        itsRanges, raw, [](IValueRange* range) { return qint64(range->maxRaw()); }, false);
}

IValueRange* ValueRangeCollection::nearestRangeByIndex(int index) const {
    return closestEnd(
        itsRanges, index, [](IValueRange* range) { return qint64(range->minIndex()); },
        [](IValueRange* range) { return qint64(range->maxIndex()); });
}

IValueRange* ValueRangeCollection::nearestRangeByRaw(unsigned int raw) const {
    return closestEnd(
        itsRanges, raw, [](IValueRange* range) { return qint64(range->minRaw()); },
        [](IValueRange* range) { return qint64(range->maxRaw()); });
}

} // namespace ZyrGui::WidgetLinking
