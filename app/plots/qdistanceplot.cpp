#include "qdistanceplot.h"

#include "Communication/comstream.h"
#include "commands/getobjectscommand.h"
#include "exchange.h"
#include "logging.h"
#include "plots/spacedlabelticker.h"
#include "plots/widelinegraph.h"

#include <QTimer>

#include <algorithm>

QDistancePlot::QDistancePlot(QWidget* parent)
    : QCustomPlot(parent)
    , itsTime(windowSize)
    , itsDistance(windowSize, 0.0)
    , itsConfidence(windowSize, 0.0)
    , itsTimer(new QTimer(this))
    , itsPen(QBrush(Qt::gray), 2.0)
    , itsClock(monotonicPlotClock()) {
    for (int k = 0; k < windowSize; ++k)
        itsTime[k] = -initialSpacingMs * k;
    connect(itsTimer, &QTimer::timeout, this, &QDistancePlot::measureDistance);

    // The distance reads on the right; the right axis mirrors the left one.
    yAxis->setVisible(false);
    yAxis2->setVisible(true);
    connect(xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), xAxis2,
            qOverload<const QCPRange&>(&QCPAxis::setRange));
    connect(yAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), yAxis2,
            qOverload<const QCPRange&>(&QCPAxis::setRange));
    xAxis->setLabel(QStringLiteral("Elapsed Time [ms]"));
    yAxis2->setLabel(QStringLiteral("Distance [mm]"));

    SpacedLabelTicker::installOn(this);
    setNotAntialiasedElements(QCP::aePlottables);
    clearGraphs();
    itsGraph = new WideLineGraph(xAxis, yAxis);
    itsGraph->setPen(itsPen);
    itsGraph->setLineStyle(QCPGraph::lsStepLeft);
    itsGraph->setData(itsTime, itsDistance, false);
    itsLastPointMs = itsClock();
}

QDistancePlot::~QDistancePlot() {
    itsTimer->stop();
    delete itsTimer;
}

void QDistancePlot::setClock(PlotClock clock) {
    itsClock = std::move(clock);
    itsLastPointMs = itsClock();
}

void QDistancePlot::setComStream(ZyrCore::Communication::ComStream* stream) {
    itsStream = stream;
}

void QDistancePlot::setLogging(Logging* logging) {
    itsLogging = logging;
}

void QDistancePlot::measureDistance() {
    QMutexLocker lock(&itsMutex);
    const qint64 now = itsClock();
    const bool connected = itsStream != nullptr && itsStream->isOpen();
    GetObjectsCommand command;
    // A failed exchange says nothing about the scene: plotting or logging it as "no object"
    // would be wrong, so the window and the log stay as they are.
    if (connected && !executeExchange(itsStream, &command))
        return;

    const ObjectsResult result = command.result();
    const bool found = command.objectCount() != 0;
    pushPoint(now, found ? result.distance : 0.0, found ? result.confidence : 0.0);
    itsReferencePhotonCount = result.referencePhotonCount;
    itsObjectPhotonCount = result.objectPhotonCount;
    if (itsLogging != nullptr && connected) {
        itsLogging->writeCommandTrace(command.traceText());
        itsLogging->writeObjects(command.objectCount(), result.confidence, result.distance,
                                 result.referencePhotonCount, result.objectPhotonCount);
    }
}

void QDistancePlot::pushPoint(qint64 now, double distance, double confidence) {
    const double elapsed = static_cast<double>(now - itsLastPointMs);
    itsLastPointMs = now;
    // Shift in place: the oldest point drops out, the newest goes to the front.
    std::move_backward(itsTime.begin(), itsTime.end() - 1, itsTime.end());
    std::move_backward(itsDistance.begin(), itsDistance.end() - 1, itsDistance.end());
    std::move_backward(itsConfidence.begin(), itsConfidence.end() - 1, itsConfidence.end());
    for (double& time : itsTime)
        time -= elapsed;
    itsTime[0] = 0.0;
    itsDistance[0] = distance;
    itsConfidence[0] = confidence;
}

void QDistancePlot::updateGraph() {
    // The window runs from newest to oldest, the graph's data by ascending time: write it
    // backwards into the graph's own points, which keep their number for the plot's life.
    if (itsGraph->dataCount() != windowSize) {
        itsGraph->setData(itsTime, itsDistance, false);
        return;
    }
    auto point = itsGraph->data()->begin();
    for (int k = windowSize - 1; k >= 0; --k, ++point) {
        point->key = itsTime[k];
        point->value = itsDistance[k];
    }
}

void QDistancePlot::applyAutoScaleYBox(int checkState, int yAxisMaxValue) {
    if (checkState == Qt::Unchecked) {
        yAxis->setRange(0, yAxisMaxValue);
    } else if (graphCount() > 0) {
        rescaleAxes();
        xAxis->setRange(0, autoScaleTimeSpanMs, Qt::AlignRight);
    }
    replot(rpQueuedReplot);
}

void QDistancePlot::applyYAxisMaxBox(int value, int autoScaleYState) {
    if (autoScaleYState == Qt::Unchecked)
        yAxis->setRange(0, value);
    replot(rpQueuedReplot);
}
