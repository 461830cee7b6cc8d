#ifndef ZYRGUI_WIDGETLINKING_VALUERANGECOLLECTION_H
#define ZYRGUI_WIDGETLINKING_VALUERANGECOLLECTION_H

#include "widgetlinking/ivaluerange.h"

#include <QList>
#include <QObject>

namespace ZyrGui::WidgetLinking {

// Several value ranges joined into one: ranges must not share raw values, and where they share
// indexes they must agree on the values. Conversions ask the ranges in insertion order.
// The bounds are cached at each addition; until the first one they are 0. The collection owns
// the ranges it holds; a refused range stays with the caller.
class ValueRangeCollection : public QObject, public IValueRange {
    Q_OBJECT

public:
    ValueRangeCollection();
    ValueRangeCollection(const ValueRangeCollection&) = delete;
    ValueRangeCollection& operator=(const ValueRangeCollection&) = delete;
    ~ValueRangeCollection() override;

    // Takes the range unless it conflicts with a held one (false, nothing changes).
    bool addValueRange(IValueRange* valueRange);
    // Forgets every range, deleting them when deleteRanges is true (otherwise they go back to
    // the caller); the cached bounds stay.
    void clear(bool deleteRanges);
    // True while no range was added since construction or the last deleting clear.
    bool isEmpty() const;
    QList<IValueRange*> valueRanges() const;

    bool indexFromRaw(unsigned int raw, int& index) override;
    bool rawFromIndex(int index, unsigned int& raw) override;
    bool valueFromIndex(int index, double& value) override;
    // Only SearchMode::Nearest; a value between ranges gives the nearer range's end index.
    // An empty collection answers true and leaves index as it was.
    bool indexFromValue(double value, int& index, SearchMode mode) override;
    bool valueFromRaw(unsigned int raw, double& value) override;
    bool rawFromValue(double value, unsigned int& raw, SearchMode mode) override;
    int minIndex() override;
    int maxIndex() override;
    unsigned int minRaw() override;
    unsigned int maxRaw() override;
    double minValue() override;
    double maxValue() override;

    // The first range (insertion order) that contains the argument, or null.
    IValueRange* rangeOfIndex(int index) const;
    IValueRange* rangeOfValue(double value) const;
    IValueRange* rangeOfRaw(unsigned int raw) const;
    // The range starting closest above / ending closest below the argument, or null.
    IValueRange* nextRangeByIndex(int index) const;
    IValueRange* previousRangeByIndex(int index) const;
    IValueRange* nextRangeByRaw(unsigned int raw) const;
    IValueRange* previousRangeByRaw(unsigned int raw) const;
    // The range with an end closest to the argument; the later one on a tie.
    IValueRange* nearestRangeByIndex(int index) const;
    IValueRange* nearestRangeByRaw(unsigned int raw) const;

signals:
    void valueRangeChanged();

private:
    static bool conflicts(IValueRange* held, IValueRange* added);
    void recomputeBounds();

    QList<IValueRange*> itsRanges;
    QList<IValueRange*> itsSortedRanges; // by ascending minValue
    int itsMinIndex = 0;
    int itsMaxIndex = 0;
    unsigned int itsMinRaw = 0;
    unsigned int itsMaxRaw = 0;
    double itsMinValue = 0.0;
    double itsMaxValue = 0.0;
    bool itsEmpty = true;
};

} // namespace ZyrGui::WidgetLinking

#endif // ZYRGUI_WIDGETLINKING_VALUERANGECOLLECTION_H
