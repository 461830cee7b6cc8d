#include "widgetlinking/comboboxvaluemapper.h"

#include "widgetlinking/widgetlinker.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <QStringList>

namespace ZyrGui::WidgetLinking {

ComboBoxValueMapper::ComboBoxValueMapper(QComboBox* widget, WidgetLinker* widgetLinker)
    : ValueMapperBase(widget, widgetLinker)
    , itsComboBox(widget) {
    connect(itsComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ComboBoxValueMapper::onComboBoxCurrentIndexChanged);
}

void ComboBoxValueMapper::setValue(int value) {
    int row = value;
    if (hasRanges()) {
        int index = 0;
        row = indexOfRaw(value, index) ? index - ranges()->minIndex() : -1;
    }
    if (row < 0 || row >= itsComboBox->count())
        row = -1;
    const QSignalBlocker blocker(itsComboBox);
    itsComboBox->setCurrentIndex(row);
}

void ComboBoxValueMapper::updateValueRanges() {
    if (!hasRanges())
        return;
    QStringList rows;
    for (qint64 index = ranges()->minIndex(); index <= ranges()->maxIndex(); ++index) {
        double value = 0.0;
        rows.append(ranges()->valueFromIndex(int(index), value) ? QString::number(value, 'g', 6)
                                                                : QStringLiteral("NA"));
    }
    {
        const QSignalBlocker blocker(itsComboBox);
        itsComboBox->clear();
        itsComboBox->addItems(rows);
        itsComboBox->setCurrentIndex(-1);
    }
    int deviceValue = 0;
    if (linker()->tryGetDeviceValue(deviceValue))
        setValue(deviceValue);
}

void ComboBoxValueMapper::onComboBoxCurrentIndexChanged(int currentIndex) {
    if (currentIndex < 0)
        return;
    int raw = currentIndex;
    if (hasRanges() && !rawOfIndex(ranges()->minIndex() + currentIndex, raw))
        return;
    report(raw);
}

} // namespace ZyrGui::WidgetLinking
