#include "testregistry.h"

#include "widgetlinking/valuerange.h"
#include "widgetlinking/valuerangecollection.h"
#include "widgetlinking/widgetlinker.h"

#include <QComboBox>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>

using ZyrGui::WidgetLinking::SearchMode;
using ZyrGui::WidgetLinking::ValueRange;
using ZyrGui::WidgetLinking::ValueRangeCollection;
using ZyrGui::WidgetLinking::WidgetLinker;

class TestValueRanges : public QObject {
    Q_OBJECT

private slots:
    void addingChecksConflicts_data();
    void addingChecksConflicts();
    void nearestIndexOfValue_data();
    void nearestIndexOfValue();
    void boundsAreUnsignedAndSurviveDeletingClear();
    void boundsCoverEveryRange_data();
    void boundsCoverEveryRange();
};

void TestValueRanges::addingChecksConflicts_data() {
    QTest::addColumn<int>("firstIndex");
    QTest::addColumn<unsigned int>("startRaw");
    QTest::addColumn<int>("rawDirection");
    QTest::addColumn<double>("startValue");
    QTest::addColumn<bool>("accepted");
    // Held: indexes 0-9, raw 0x20-0x29, values 1..10.
    QTest::newRow("apart") << 10 << 0x40u << 1 << 11.0 << true;
    QTest::newRow("raw overlaps") << 20 << 0x29u << 1 << 50.0 << false;
    QTest::newRow("descending raw touches none") << 10 << 0x1Fu << -1 << 11.0 << true;
    QTest::newRow("descending raw overlaps") << 10 << 0x21u << -1 << 11.0 << false;
    QTest::newRow("shared indexes within tolerance") << 5 << 0x50u << 1 << 6.0 + 1e-14 << true;
    QTest::newRow("shared indexes differ by 1e-13") << 5 << 0x50u << 1 << 6.0 + 1e-13 << false;
}

void TestValueRanges::addingChecksConflicts() {
    QFETCH(int, firstIndex);
    QFETCH(unsigned int, startRaw);
    QFETCH(int, rawDirection);
    QFETCH(double, startValue);
    QFETCH(bool, accepted);

    ValueRangeCollection ranges;
    QVERIFY(ranges.addValueRange(new ValueRange(0, 10, 0x20, 1, 1.0, 1.0)));
    QSignalSpy changes(&ranges, &ValueRangeCollection::valueRangeChanged);
    auto added =
        std::make_unique<ValueRange>(firstIndex, 10, startRaw, rawDirection, startValue, 1.0);
    QCOMPARE(ranges.addValueRange(added.get()), accepted);
    QCOMPARE(changes.count(), accepted ? 1 : 0);
    QCOMPARE(ranges.valueRanges().count(), accepted ? 2 : 1);
    if (accepted)
        added.release(); // the collection owns it now
}

void TestValueRanges::nearestIndexOfValue_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("index");
    QTest::newRow("inside the first") << 5.4 << 9;
    QTest::newRow("inside the second, rounded up") << 21.5 << 27;
    QTest::newRow("gap, nearer the first") << 12.0 << 14;
    QTest::newRow("gap, equal distances: earlier range") << 15.0 << 14;
    QTest::newRow("gap, nearer the second") << 16.0 << 25;
    QTest::newRow("below everything") << -3.0 << 5;
    QTest::newRow("near the end of a falling range") << 55.0 << 44;
    QTest::newRow("above everything") << 200.0 << 40;
}

void TestValueRanges::nearestIndexOfValue() {
    QFETCH(double, value);
    QFETCH(int, index);

    ValueRangeCollection ranges;
    QVERIFY(ranges.addValueRange(new ValueRange(5, 10, 0x20, 1, 1.0, 1.0)));
    QVERIFY(ranges.addValueRange(new ValueRange(25, 10, 0x40, 1, 20.0, 1.0)));
    // Values fall as the index grows: 100 at index 40 down to 60 at index 44.
    QVERIFY(ranges.addValueRange(new ValueRange(40, 5, 0x60, 1, 100.0, -10.0)));
    int found = -1;
    QVERIFY(ranges.indexFromValue(value, found, SearchMode::Nearest));
    QCOMPARE(found, index);
    unsigned int raw = 0;
    QVERIFY(ranges.rawFromValue(value, raw, SearchMode::Nearest));
    int back = -1;
    QVERIFY(ranges.indexFromRaw(raw, back));
    QCOMPARE(back, index);
}

void TestValueRanges::boundsAreUnsignedAndSurviveDeletingClear() {
    ValueRangeCollection ranges;
    QCOMPARE(ranges.maxRaw(), 0u);
    QVERIFY(ranges.addValueRange(new ValueRange(0, 16, 0xFFFFFFF0u, 1, 0.0, 1.0)));
    QVERIFY(ranges.addValueRange(new ValueRange(20, 2, 5, 1, 30.0, 1.0)));
    QCOMPARE(ranges.minRaw(), 5u);
    QCOMPARE(ranges.maxRaw(), 0xFFFFFFFFu);
    QCOMPARE(ranges.maxIndex(), 21);

    ranges.clear(true);
    QVERIFY(ranges.isEmpty());
    QVERIFY(ranges.valueRanges().isEmpty());
    QCOMPARE(ranges.maxRaw(), 0xFFFFFFFFu);
    int index = 0;
    QVERIFY(!ranges.indexFromRaw(5, index));
    // The deleted ranges no longer take part in the conflict test.
    QVERIFY(ranges.addValueRange(new ValueRange(0, 4, 5, 1, 0.0, 1.0)));
    QCOMPARE(ranges.maxRaw(), 8u);
}

void TestValueRanges::boundsCoverEveryRange_data() {
    QTest::addColumn<int>("firstIndex");
    QTest::addColumn<int>("secondIndex");
    QTest::addColumn<double>("firstValue");
    QTest::addColumn<double>("secondValue");
    QTest::addColumn<int>("minIndex");
    QTest::addColumn<int>("maxIndex");
    QTest::addColumn<double>("minValue");
    QTest::addColumn<double>("maxValue");
    // Two ranges: three indexes from firstIndex, two from secondIndex, values in steps of 1.
    QTest::newRow("all negative") << -10 << -5 << 1.0 << 6.0 << -10 << -4 << 1.0 << 7.0;
    QTest::newRow("mixed") << -3 << 4 << -2.0 << 5.0 << -3 << 5 << -2.0 << 6.0;
    QTest::newRow("positive") << 2 << 10 << 20.0 << 40.0 << 2 << 11 << 20.0 << 41.0;
    QTest::newRow("values above 1e37") << 0 << 3 << 2e37 << 3e37 << 0 << 4 << 2e37 << 3e37;
    QTest::newRow("values below -1e37") << 0 << 3 << -3e37 << -2e37 << 0 << 4 << -3e37 << -2e37;
}

void TestValueRanges::boundsCoverEveryRange() {
    QFETCH(int, firstIndex);
    QFETCH(int, secondIndex);
    QFETCH(double, firstValue);
    QFETCH(double, secondValue);
    QFETCH(int, minIndex);
    QFETCH(int, maxIndex);

    WidgetLinker linker;
    ValueRangeCollection* ranges = linker.valueRanges();
    QVERIFY(ranges->addValueRange(new ValueRange(firstIndex, 3, 0x10, 1, firstValue, 1.0)));
    QVERIFY(ranges->addValueRange(new ValueRange(secondIndex, 2, 0x20, 1, secondValue, 1.0)));
    QCOMPARE(ranges->minIndex(), minIndex);
    QCOMPARE(ranges->maxIndex(), maxIndex);
    QTEST(ranges->minValue(), "minValue");
    QTEST(ranges->maxValue(), "maxValue");

    // Linked widgets offer exactly the indexes of the ranges.
    QComboBox combo;
    QSpinBox spin;
    QSlider slider;
    linker.link(&combo);
    linker.link(&spin);
    linker.link(&slider);
    QCOMPARE(combo.count(), maxIndex - minIndex + 1);
    QCOMPARE(spin.minimum(), minIndex);
    QCOMPARE(spin.maximum(), maxIndex);
    QCOMPARE(slider.minimum(), minIndex);
    QCOMPARE(slider.maximum(), maxIndex);
}

ZYR_TEST_CLASS(TestValueRanges)
#include "tst_valueranges.moc"
