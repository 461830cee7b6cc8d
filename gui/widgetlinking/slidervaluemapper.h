#ifndef ZYRGUI_WIDGETLINKING_SLIDERVALUEMAPPER_H
#define ZYRGUI_WIDGETLINKING_SLIDERVALUEMAPPER_H

#include "widgetlinking/valuemapperbase.h"

#include <QTimer>

class QSlider;

namespace ZyrGui::WidgetLinking {

// A slider whose positions are the indexes of the linker's ranges (raw values without ranges).
// Moving it previews the position in the other widgets; the device is written while dragging
// every tracking interval (when tracking is on), on release, and a release interval after a
// keyboard or wheel change. Device values are not shown while the slider is held.
class SliderValueMapper : public ValueMapperBase {
    Q_OBJECT

public:
    SliderValueMapper(QSlider* widget, WidgetLinker* widgetLinker);

    void setValue(int value) override;
    // Sets the limits without reporting the value they may clamp.
    void updateValueRanges() override;

    void setReleaseInterval(int ms);
    int releaseInterval() const;
    void setTrackingInterval(int ms);
    int trackingInterval() const;
    void setTracking(bool tracking);
    bool tracking() const;

private slots:
    void onSliderValueChanged(int value);
    void onSliderSliderPressed();
    void onSliderSliderReleased();
    void onReleaseTimerElapsed();
    void onTrackingTimerElapsed();

private:
    void sendPosition(bool fromWidget);
    void commit();

    QSlider* itsSlider;
    QTimer itsReleaseTimer;
    QTimer itsTrackingTimer;
    bool itsPressed = false;
    bool itsChanged = false;
    bool itsTracking = true;
};

} // namespace ZyrGui::WidgetLinking

#endif // ZYRGUI_WIDGETLINKING_SLIDERVALUEMAPPER_H
