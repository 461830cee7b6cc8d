#ifndef ZYRAPP_PLOTS_DISTANCEBAR_H
#define ZYRAPP_PLOTS_DISTANCEBAR_H

#include <QString>
#include <QStringList>

#include <cstdint>

class QCustomPlot;
class QCPBars;
class QCPStringLegendItem;
class QDistancePlot;

// The distance bar above the histogram plot: one bar at the newest object's distance, as high
// as its confidence, and legend rows with the peak, the confidence, the photon counts and the
// sensor temperature. It works on a plot it does not own.
class DistanceBar {
public:
    static constexpr double confidenceMax = 64.0;

    explicit DistanceBar(QCustomPlot* plot);

    // Builds axes, bar and legend rows once; the chip-family flag picks the distance scale.
    void setup(bool chipFamilyFlag);
    // Shows the distance plot's newest measurement and replots.
    void update(const QDistancePlot& distancePlot);
    void showMeasurement(int distance, int confidence, uint32_t referencePhotonCount,
                         uint32_t objectPhotonCount);

    void setTemperatureText(const QString& text);
    void setTemperatureVisible(bool visible);
    // The main window's controls, each followed by a queued replot.
    void setLegendVisible(bool visible);
    void applyOperationMode(int index, bool chipFamilyFlag);
    void applyFourMeterMode(bool fourMeterMode);

    QCustomPlot* plot() const { return itsPlot; }
    QCPBars* bars() const { return itsBars; }
    // The legend rows from top to bottom: peak, confidence, reference photons, object photons,
    // temperature; empty before the set-up.
    QStringList rowTexts() const;

private:
    void setDistanceScale(double maxDistance, double barWidth);

    QCustomPlot* itsPlot;
    QCPBars* itsBars = nullptr;
    QCPStringLegendItem* itsPeakItem = nullptr;
    QCPStringLegendItem* itsConfidenceItem = nullptr;
    QCPStringLegendItem* itsReferencePhotonsItem = nullptr;
    QCPStringLegendItem* itsObjectPhotonsItem = nullptr;
    QCPStringLegendItem* itsTemperatureItem = nullptr;
};

#endif // ZYRAPP_PLOTS_DISTANCEBAR_H
