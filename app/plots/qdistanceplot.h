#ifndef ZYRAPP_PLOTS_QDISTANCEPLOT_H
#define ZYRAPP_PLOTS_QDISTANCEPLOT_H

#include "plots/plotclock.h"

#include <qcustomplot.h>

#include <QMutex>
#include <QVector>

#include <cstdint>

class Logging;
class QTimer;

namespace ZyrCore::Communication {
class ComStream;
}

// The distance-versus-time plot of the distance dock: a sliding window of the last 200 object
// measurements, drawn as one step graph whose newest point stands at time 0 on the right. The
// plot takes each measurement itself and never replots by itself, except in the apply...
// operations that serve the main window's controls.
class QDistancePlot : public QCustomPlot {
    Q_OBJECT

public:
    static constexpr int windowSize = 200;
    // Spacing of the points the window starts with.
    static constexpr double initialSpacingMs = 16.0;
    // Width of the time axis when the axes follow the data.
    static constexpr double autoScaleTimeSpanMs = 3000.0;

    explicit QDistancePlot(QWidget* parent = nullptr);
    ~QDistancePlot() override;

    // Replaces the clock that times the measurements; the next one counts from now.
    void setClock(PlotClock clock);
    void setComStream(ZyrCore::Communication::ComStream* stream);
    void setLogging(Logging* logging);

    // Hands the window to the graph.
    void updateGraph();

    uint32_t referencePhotonCount() const { return itsReferencePhotonCount; }
    uint32_t objectPhotonCount() const { return itsObjectPhotonCount; }
    int latestDistance() const { return static_cast<int>(itsDistance.front()); }
    int latestConfidence() const { return static_cast<int>(itsConfidence.front()); }
    // Index 0 is the newest point; times are milliseconds relative to it.
    QVector<double> timeValues() const { return itsTime; }
    QVector<double> distanceValues() const { return itsDistance; }
    QVector<double> confidenceValues() const { return itsConfidence; }

    // The main window's distance-axis controls, each followed by a queued replot. Check states
    // are Qt's: 0 unchecked, 1 partially checked, 2 checked.
    void applyAutoScaleYBox(int checkState, int yAxisMaxValue);
    void applyYAxisMaxBox(int value, int autoScaleYState);

public slots:
    // Reads one object result from the stream and puts it at the front of the window. Without
    // an open stream the window gets a zero point; a failed exchange adds nothing.
    void measureDistance();

private:
    void pushPoint(qint64 now, double distance, double confidence);

    QVector<double> itsTime;
    QVector<double> itsDistance;
    QVector<double> itsConfidence;
    uint32_t itsReferencePhotonCount = 0;
    uint32_t itsObjectPhotonCount = 0;
    QTimer* itsTimer;
    QMutex itsMutex;
    QPen itsPen;
    Logging* itsLogging = nullptr;
    PlotClock itsClock;
    qint64 itsLastPointMs = 0;
    ZyrCore::Communication::ComStream* itsStream = nullptr;
    QCPGraph* itsGraph = nullptr;
};

#endif // ZYRAPP_PLOTS_QDISTANCEPLOT_H
