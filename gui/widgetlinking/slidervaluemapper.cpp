#include "widgetlinking/slidervaluemapper.h"

#include "widgetlinking/widgetlinker.h"

#include <QSignalBlocker>
#include <QSlider>

namespace ZyrGui::WidgetLinking {

namespace {
constexpr int kReleaseInterval = 250;
constexpr int kTrackingInterval = 200;
} // namespace

SliderValueMapper::SliderValueMapper(QSlider* widget, WidgetLinker* widgetLinker)
    : ValueMapperBase(widget, widgetLinker)
    , itsSlider(widget)
    , itsReleaseTimer(this)
    , itsTrackingTimer(this) {
    itsReleaseTimer.setInterval(kReleaseInterval);
    itsReleaseTimer.setSingleShot(true);
    itsTrackingTimer.setInterval(kTrackingInterval);
    connect(&itsReleaseTimer, &QTimer::timeout, this, &SliderValueMapper::onReleaseTimerElapsed);
    connect(&itsTrackingTimer, &QTimer::timeout, this, &SliderValueMapper::onTrackingTimerElapsed);
    connect(itsSlider, &QSlider::valueChanged, this, &SliderValueMapper::onSliderValueChanged);
    connect(itsSlider, &QSlider::sliderPressed, this, &SliderValueMapper::onSliderSliderPressed);
    connect(itsSlider, &QSlider::sliderReleased, this, &SliderValueMapper::onSliderSliderReleased);
}

void SliderValueMapper::setValue(int value) {
    if (itsPressed)
        return;
    int index = value;
    if (hasRanges() && !indexOfRaw(value, index))
        return;
    const QSignalBlocker blocker(itsSlider);
    itsSlider->setValue(index);
}

void SliderValueMapper::updateValueRanges() {
    int minimum = 0;
    int maximum = 0;
    if (keepsOwnValueRange() || !tryGetLimits(minimum, maximum))
        return;
    const QSignalBlocker blocker(itsSlider);
    itsSlider->setRange(minimum, maximum);
}

void SliderValueMapper::setReleaseInterval(int ms) {
    itsReleaseTimer.setInterval(ms);
}

int SliderValueMapper::releaseInterval() const {
    return itsReleaseTimer.interval();
}

void SliderValueMapper::setTrackingInterval(int ms) {
    itsTrackingTimer.setInterval(ms);
}

int SliderValueMapper::trackingInterval() const {
    return itsTrackingTimer.interval();
}

void SliderValueMapper::setTracking(bool tracking) {
    itsTracking = tracking;
}

bool SliderValueMapper::tracking() const {
    return itsTracking;
}

void SliderValueMapper::onSliderSliderPressed() {
    itsPressed = true;
    itsReleaseTimer.stop();
    if (itsTracking)
        itsTrackingTimer.start();
}

void SliderValueMapper::onSliderValueChanged(int) {
    itsReleaseTimer.stop();
    // A keyboard or wheel change commits once the changes pause.
    if (!itsPressed)
        itsReleaseTimer.start();
    if (itsTracking && !itsTrackingTimer.isActive())
        itsTrackingTimer.start();
    itsChanged = true;
    sendPosition(false);
}

void SliderValueMapper::onTrackingTimerElapsed() {
    if (itsChanged)
        commit();
}

void SliderValueMapper::onReleaseTimerElapsed() {
    itsReleaseTimer.stop();
    // Nothing is held any more, so tracking has nothing left to follow.
    if (!itsPressed)
        itsTrackingTimer.stop();
    sendPosition(false);
    if (itsChanged)
        commit();
}

void SliderValueMapper::onSliderSliderReleased() {
    itsPressed = false;
    itsTrackingTimer.stop();
    sendPosition(false);
    commit();
}

void SliderValueMapper::commit() {
    itsChanged = false;
    sendPosition(true);
}

void SliderValueMapper::sendPosition(bool fromWidget) {
    const int position = itsSlider->value();
    int raw = position;
    if (hasRanges()) {
        IValueRange* range = ranges()->rangeOfIndex(position);
        unsigned int found = 0;
        if (range == nullptr || !range->rawFromIndex(position, found) || int(found) < 0)
            return;
        raw = int(found);
    }
    report(raw, fromWidget);
}

} // namespace ZyrGui::WidgetLinking
