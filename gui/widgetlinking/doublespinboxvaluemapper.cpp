#include "widgetlinking/doublespinboxvaluemapper.h"

#include "widgetlinking/widgetlinker.h"

#include <QEvent>
#include <QSignalBlocker>

#include <cmath>
#include <limits>

namespace ZyrGui::WidgetLinking {

namespace {
constexpr int kRepeatInterval = 200;
}

DoubleSpinBoxValueMapper::DoubleSpinBoxValueMapper(ZyrDoubleSpinBox* widget,
                                                   WidgetLinker* widgetLinker, bool followWheel)
    : ValueMapperBase(widget, widgetLinker)
    , itsSpinBox(widget)
    , itsCurrentValue(widget->value())
    , itsRepeatTimer(this) {
    itsRepeatTimer.setInterval(kRepeatInterval);
    connect(&itsRepeatTimer, &QTimer::timeout, this,
            &DoubleSpinBoxValueMapper::onSpinBoxButtonTimerTimeout);
    connect(itsSpinBox, QOverload<double>::of(&ZyrDoubleSpinBox::valueChanged), this,
            &DoubleSpinBoxValueMapper::onSpinBoxValueChanged);
    connect(itsSpinBox, &ZyrDoubleSpinBox::spinBoxButtonPressed, this,
            &DoubleSpinBoxValueMapper::onSpinBoxButtonPressed);
    connect(itsSpinBox, &ZyrDoubleSpinBox::spinBoxButtonReleased, this,
            &DoubleSpinBoxValueMapper::onSpinBoxButtonReleased);
    if (followWheel)
        connect(itsSpinBox, &ZyrDoubleSpinBox::modifyIndex, this,
                &DoubleSpinBoxValueMapper::onMouseWheelChanged);
    itsSpinBox->installEventFilter(this);
}

void DoubleSpinBoxValueMapper::setValue(int raw) {
    if (!hasRanges()) {
        show(raw);
        return;
    }
    double value = 0.0;
    int index = 0;
    if (!indexOfRaw(raw, index) || !ranges()->valueFromIndex(index, value))
        return;
    itsCurrentIndex = index;
    show(value);
}

void DoubleSpinBoxValueMapper::updateValueRanges() {}

void DoubleSpinBoxValueMapper::setValueWhenManualEdited(double value) {
    if (!hasRanges()) {
        const double truncated = std::trunc(value);
        if (truncated >= std::numeric_limits<int>::min() &&
            truncated <= std::numeric_limits<int>::max())
            report(int(truncated));
        return;
    }
    int index = itsCurrentIndex;
    if (ranges()->indexFromValue(value, index, SearchMode::Nearest))
        moveTo(index);
}

void DoubleSpinBoxValueMapper::increaseIndexBy(int delta) {
    if (delta == 0)
        return;
    if (!hasRanges()) {
        // Positions are raw values: step as the spin box's keys do; its valueChanged reports.
        itsSpinBox->stepBy(delta);
        return;
    }
    const qint64 wanted = qint64(itsCurrentIndex) + delta;
    int index = int(qBound<qint64>(ranges()->minIndex(), wanted, ranges()->maxIndex()));
    if (ranges()->rangeOfIndex(index) == nullptr) {
        IValueRange* beyond =
            delta > 0 ? ranges()->nextRangeByIndex(index) : ranges()->previousRangeByIndex(index);
        if (beyond == nullptr)
            return;
        index = delta > 0 ? beyond->minIndex() : beyond->maxIndex();
    }
    moveTo(index);
}

void DoubleSpinBoxValueMapper::moveTo(int index) {
    double value = 0.0;
    int raw = 0;
    if (!ranges()->valueFromIndex(index, value) || !rawOfIndex(index, raw))
        return;
    itsCurrentIndex = index;
    // Shown before it is reported: a refusal brings the device's value back, which must stay.
    show(value);
    report(raw);
}

void DoubleSpinBoxValueMapper::show(double value) {
    itsCurrentValue = value;
    const QSignalBlocker blocker(itsSpinBox);
    itsSpinBox->setValue(value);
}

void DoubleSpinBoxValueMapper::onSpinBoxValueChanged(double value) {
    setValueWhenManualEdited(value);
}

void DoubleSpinBoxValueMapper::onSpinBoxButtonPressed(
    ZyrDoubleSpinBox::DoubleSpinBoxButtons button) {
    if (button != ZyrDoubleSpinBox::UpButton && button != ZyrDoubleSpinBox::DownButton)
        return;
    itsRepeatDirection = button;
    increaseIndexBy(itsRepeatDirection);
    itsRepeatTimer.start();
}

void DoubleSpinBoxValueMapper::onSpinBoxButtonReleased() {
    itsRepeatTimer.stop();
}

void DoubleSpinBoxValueMapper::onSpinBoxButtonTimerTimeout() {
    increaseIndexBy(itsRepeatDirection);
}

void DoubleSpinBoxValueMapper::onMouseWheelChanged(
    ZyrDoubleSpinBox::DoubleSpinBoxButtons direction) {
    if (direction == ZyrDoubleSpinBox::UpButton || direction == ZyrDoubleSpinBox::DownButton)
        increaseIndexBy(direction);
}

bool DoubleSpinBoxValueMapper::eventFilter(QObject* watched, QEvent* event) {
    if (watched == itsSpinBox &&
        (event->type() == QEvent::FocusOut || event->type() == QEvent::Hide))
        itsRepeatTimer.stop();
    return ValueMapperBase::eventFilter(watched, event);
}

} // namespace ZyrGui::WidgetLinking
