#include "qhistogramplot.h"

#include "histogramdecode.h"
#include "plots/qcpstringlegenditem.h"
#include "plots/spacedlabelticker.h"
#include "plots/widelinegraph.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const char* const kGraphNames[QHistogramPlot::typeCount][QHistogramPlot::channelCount] = {
    {"Proximity Reference", "Proximity Zone-1", "Proximity Zone-2", "Proximity Zone-3",
     "Proximity Zone-4"},
    {"Raw Reference", "Raw Zone-1", "Raw Zone-2", "Raw Zone-3", "Raw Zone-4"},
    {"Processed", "Raw", "Peaks", "Smudge Level", "Baseline"},
    {"Summed", nullptr, nullptr, nullptr, nullptr},
    {"Optical Calibration", "El. Calib. Zone-1", "El. Calib. Zone-2", "El. Calib. Zone-3",
     "El. Calib. Zone-4"},
};

const char* const kChannelSuffixes[QHistogramPlot::channelCount] = {
    " Reference", " Zone-1", " Zone-2", " Zone-3", " Zone-4"};

const Qt::GlobalColor kCurrentColours[QHistogramPlot::channelCount] = {
    Qt::green, Qt::red, Qt::magenta, Qt::blue, Qt::cyan};
const QColor kPreviousColours[QHistogramPlot::channelCount] = {
    QColor(0, 128, 0, 224), QColor(128, 0, 0, 224), QColor(128, 0, 128, 224),
    QColor(0, 0, 128, 224), QColor(0, 128, 128, 224)};

// The y axis's upper bound for the largest count: the next step of a doubling scale with 4 %
// headroom, or the count plus headroom itself beyond the scale.
double yUpperBoundFor(double maxCount) {
    if (maxCount == 0.0)
        return 80.0;
    const double m = maxCount + maxCount / 25.0;
    double threshold = 32.0;
    for (double bound = 40.0; bound <= 20480.0; bound *= 2.0, threshold *= 2.0) {
        if (m < threshold)
            return bound;
    }
    return m;
}

// An axis bound as an int, truncated toward zero; bounds beyond the int range (decoded counts
// reach 2^32) saturate rather than overflow.
int truncatedBound(double bound) {
    return static_cast<int>(qBound<double>(std::numeric_limits<int>::min(), std::trunc(bound),
                                           std::numeric_limits<int>::max()));
}

// Data is replaced in place: the keys of every graph stay 0..255, so only the values change.
// A plottable whose points were replaced from outside is filled anew. True when a value changed.
template <typename Plottable>
bool showValues(Plottable* plottable, const QVector<double>& keys,
                const std::array<double, QHistogramPlot::binCount>& values) {
    auto& data = *plottable->data();
    if (data.size() != QHistogramPlot::binCount) {
        plottable->setData(keys, QVector<double>(values.begin(), values.end()), true);
        return true;
    }
    bool changed = false;
    auto point = data.begin();
    for (double value : values) {
        changed = changed || point->value != value;
        (point++)->value = value;
    }
    return changed;
}

} // namespace

QHistogramPlot::QHistogramPlot(QWidget* parent)
    : QCustomPlot(parent)
    , itsClock(monotonicPlotClock())
    , itsKeys(binCount) {
    for (int bin = 0; bin < binCount; ++bin)
        itsKeys[bin] = bin;
    SpacedLabelTicker::installOn(this);
    setNotAntialiasedElements(QCP::aePlottables);
    setupGraphs();
    clearAll();
    // Nothing is shown before the first data.
    updateScalingAndVisibility();
    connect(this, &QCustomPlot::afterReplot, this, &QHistogramPlot::onReplotted);
}

QHistogramPlot::~QHistogramPlot() = default;

void QHistogramPlot::setClock(PlotClock clock) {
    itsClock = std::move(clock);
    itsLastRescaleMs = itsClock();
}

void QHistogramPlot::resetRanges() {
    xAxis->setRange(0, binCount);
    yAxis->setRange(0, binCount);
}

void QHistogramPlot::setupGraphs() {
    resetRanges();
    addLayer(QStringLiteral("Current"), layer(layerCount() - 1), limBelow);
    setCurrentLayer(QStringLiteral("Current"));
    itsPeaksBars[CurrentSet] = new QCPBars(xAxis, yAxis);
    for (int type = 0; type < typeCount; ++type)
        for (int channel = 0; channel < channelCount; ++channel)
            itsGraphs[CurrentSet][type][channel] = new WideLineGraph(xAxis, yAxis);
    addLayer(QStringLiteral("Previous"), layer(layerCount() - 1), limAbove);
    setCurrentLayer(QStringLiteral("Previous"));
    itsPeaksBars[PreviousSet] = new QCPBars(xAxis, yAxis);
    for (QCPBars* bars : itsPeaksBars)
        bars->removeFromLegend();
    for (int type = 0; type < typeCount; ++type)
        for (int channel = 0; channel < channelCount; ++channel)
            itsGraphs[PreviousSet][type][channel] = new WideLineGraph(xAxis, yAxis);
    setCurrentLayer(QStringLiteral("Current"));

    // The legend and each set of graphs draw into a buffer of their own, so that one of them
    // can be redrawn while the rest stands still.
    itsSetLayers[CurrentSet] = layer(QStringLiteral("Current"));
    itsSetLayers[PreviousSet] = layer(QStringLiteral("Previous"));
    for (QCPLayer* buffered :
         {legend->layer(), itsSetLayers[CurrentSet], itsSetLayers[PreviousSet]})
        buffered->setMode(QCPLayer::lmBuffered);

    for (int type = 0; type < typeCount; ++type)
        styleType(type);
    nameGraphs();
    xAxis->setLabel(QStringLiteral("Bin [-]"));
    yAxis->setLabel(QStringLiteral("Count [-]"));
    resetRanges();

    itsHitsItem = new QCPStringLegendItem(legend, QStringLiteral("Proximity Hits: -"));
    legend->insertRow(0);
    legend->addElement(0, 0, itsHitsItem);
    QFont legendFont = font();
    legendFont.setPointSize(8);
    legend->setFont(legendFont);
    legend->setSelectedFont(legendFont);

    updateLegend();
    resetRanges();
    itsLastRescaleMs = itsClock();
}

void QHistogramPlot::styleType(int type) {
    for (int channel = 0; channel < channelCount; ++channel) {
        QPen current(kCurrentColours[channel]);
        QPen previous(kPreviousColours[channel]);
        // The processed curve, smudge level and baseline stand out from the raw curve.
        if (type == Processed && (channel == 0 || channel == 3 || channel == 4)) {
            current.setWidth(2);
            previous.setWidth(2);
        }
        if (type == Processed && channel == 3) {
            current.setStyle(Qt::DashLine);
            previous.setStyle(Qt::DashLine);
        } else if (type == Processed && channel == 4) {
            current.setStyle(Qt::DotLine);
            previous.setStyle(Qt::DotLine);
        } else if (type == Summed && channel == 0) {
            current.setColor(QColor(0, 127, 0, 255));
            previous.setColor(QColor(209, 255, 183, 224));
            current.setWidth(2);
            previous.setWidth(2);
        }
        itsGraphs[CurrentSet][type][channel]->setPen(current);
        itsGraphs[PreviousSet][type][channel]->setPen(previous);
        itsGraphs[PreviousSet][type][channel]->removeFromLegend();
        if (type == Processed && channel == 2) {
            itsPeaksBars[CurrentSet]->setPen(current);
            itsPeaksBars[PreviousSet]->setPen(previous);
        }
    }
}

void QHistogramPlot::nameGraphs() {
    for (int type = 0; type < typeCount; ++type)
        for (int channel = 0; channel < channelCount; ++channel)
            if (kGraphNames[type][channel] != nullptr)
                itsGraphs[CurrentSet][type][channel]->setName(
                    QString::fromLatin1(kGraphNames[type][channel]));
}

void QHistogramPlot::clearAll() {
    for (DataSet set : {CurrentSet, PreviousSet})
        for (int type = 0; type < typeCount; ++type)
            clearSet(type, set);
}

void QHistogramPlot::clearSet(int type, DataSet set) {
    for (int channel = 0; channel < channelCount; ++channel) {
        itsValues[set][type][channel].fill(0.0);
        showChannel(set, type, channel);
    }
    if (type == Processed)
        showPeaks(set);
}

void QHistogramPlot::showChannel(DataSet set, int type, int channel) {
    if (showValues(itsGraphs[set][type][channel], itsKeys, itsValues[set][type][channel]))
        itsSetChanged[set] = true;
}

void QHistogramPlot::showPeaks(DataSet set) {
    if (showValues(itsPeaksBars[set], itsKeys, itsValues[set][Processed][2]))
        itsSetChanged[set] = true;
}

void QHistogramPlot::refresh() {
    if (itsLayoutChanged || xAxis->range() != itsDrawnXRange || yAxis->range() != itsDrawnYRange ||
        hitsRowNeedsLayout()) {
        replot(rpRefreshHint);
        return;
    }
    // A layer whose buffer is gone replots the whole plot, which leaves nothing else to do.
    if (itsLegendChanged) {
        itsLegendChanged = false;
        legend->layer()->replot();
    }
    for (DataSet set : {CurrentSet, PreviousSet}) {
        if (itsSetChanged[set]) {
            itsSetChanged[set] = false;
            itsSetLayers[set]->replot();
        }
    }
}

void QHistogramPlot::onReplotted() {
    itsLayoutChanged = false;
    itsLegendChanged = false;
    itsSetChanged[CurrentSet] = false;
    itsSetChanged[PreviousSet] = false;
    itsDrawnXRange = xAxis->range();
    itsDrawnYRange = yAxis->range();
    itsDrawnHitsWidth = hitsTextWidth();
    itsHitsRoom = itsHitsItem->rect().width();
}

int QHistogramPlot::hitsTextWidth() const {
    return QFontMetrics(itsHitsItem->font())
        .boundingRect(0, 0, 0, 0, Qt::TextDontClip, itsHitsItem->text())
        .width();
}

bool QHistogramPlot::hitsRowNeedsLayout() const {
    if (!legend->visible() || !itsLegendChanged)
        return false;
    // The legend is as wide as its widest row: a hits text that fits leaves the layout alone,
    // unless the hits row was the widest and so set the width.
    const int width = hitsTextWidth();
    return width > itsHitsRoom || (itsDrawnHitsWidth == itsHitsRoom && width != itsHitsRoom);
}

void QHistogramPlot::setLegendVisible(bool visible) {
    itsLayoutChanged = true;
    legend->setVisible(visible);
    updateLegend();
    updateScalingAndVisibility();
}

void QHistogramPlot::setTypeVisible(int type, bool visible) {
    if (type < 0 || type >= typeCount)
        return;
    itsTypeShown[type] = visible;
    if (type == Proximity && !visible)
        resetHitsText();
    updateLegend();
}

void QHistogramPlot::setChannelVisible(int type, int channel, bool visible) {
    if (type < 0 || type >= typeCount || channel < 0 || channel >= channelCount)
        return;
    itsChannelVisible[type][channel] = visible;
    updateLegend();
    updateScalingAndVisibility();
}

void QHistogramPlot::setShowPrevious(bool show) {
    itsShowPrevious = show;
    updateScalingAndVisibility();
}

void QHistogramPlot::takeSnapshot() {
    for (int type = 0; type < typeCount; ++type) {
        if (!itsTypeShown[type]) {
            clearSet(type, PreviousSet);
            continue;
        }
        for (int channel = 0; channel < channelCount; ++channel) {
            itsValues[PreviousSet][type][channel] = itsValues[CurrentSet][type][channel];
            showChannel(PreviousSet, type, channel);
        }
        if (type == Processed)
            showPeaks(PreviousSet);
    }
}

void QHistogramPlot::setAutoScaleY(bool autoScale) {
    itsAutoScaleY = autoScale;
    updateScalingAndVisibility();
}

void QHistogramPlot::setAutoScaleX(bool autoScale) {
    itsAutoScaleX = autoScale;
    updateScalingAndVisibility();
}

void QHistogramPlot::setYAxisMax(int value) {
    yAxis->setRange(yAxis->range().lower, value);
    updateScalingAndVisibility();
}

void QHistogramPlot::setXAxisMax(int value) {
    xAxis->setRange(xAxis->range().lower, value);
    updateScalingAndVisibility();
}

void QHistogramPlot::setForceRescale(bool force) {
    if (force)
        itsForceRescale.request();
    else
        itsForceRescale.end();
}

void QHistogramPlot::resetRescaleSingleShot() {
    itsForceRescale.end();
}

void QHistogramPlot::setPileUpCorrection(bool correction) {
    itsPileUpCorrection = correction;
}

void QHistogramPlot::setChipFamilyFlag(bool flag) {
    itsChipFamilyFlag = flag;
    const QString names[2] = {flag ? QStringLiteral("Short Range") : QStringLiteral("Proximity"),
                              flag ? QStringLiteral("Long Range") : QStringLiteral("Distance")};
    for (int type : {Proximity, Distance})
        for (int channel = 0; channel < channelCount; ++channel)
            itsGraphs[CurrentSet][type][channel]->setName(names[type] +
                                                          QLatin1String(kChannelSuffixes[channel]));
    resetHitsText();
    itsLayoutChanged = true;
    itsLegendGraphs = ~0u; // names changed: lay the legend out again
    updateLegend();
    replot(rpQueuedReplot);
}

int QHistogramPlot::yAxisMax() const {
    return truncatedBound(yAxis->range().upper);
}

int QHistogramPlot::xAxisMax() const {
    return truncatedBound(xAxis->range().upper);
}

void QHistogramPlot::setHistogramData(int type, const uint16_t* bins) {
    if (type < 0 || type >= typeCount || bins == nullptr)
        return;
    const bool decodeExponents = type == Distance && itsChipFamilyFlag && !itsPileUpCorrection;
    int32_t hits = 0;
    for (int channel = 0; channel < channelCount; ++channel) {
        const uint16_t* channelBins = bins + binCount * channel;
        Bins& values = itsValues[CurrentSet][type][channel];
        for (int bin = 0; bin < binCount; ++bin) {
            values[bin] = decodeExponents ? decodeExponentBin(channelBins, bin) : channelBins[bin];
            if (channel >= 1)
                hits += channelBins[bin];
        }
        showChannel(CurrentSet, type, channel);
    }
    if (type == Proximity) {
        itsProximityHits = hits;
        setHitsText(hitsPrefix() + QStringLiteral(": ") + QString::number(itsProximityHits));
    }
    if (type == Processed) {
        showPeaks(CurrentSet);
        showPeaks(PreviousSet);
    }
    updateScalingAndVisibility();
}

QString QHistogramPlot::hitsPrefix() const {
    return itsChipFamilyFlag ? QStringLiteral("Short Range Hits")
                             : QStringLiteral("Proximity Hits");
}

void QHistogramPlot::resetHitsText() {
    setHitsText(hitsPrefix() + QStringLiteral(": -"));
}

void QHistogramPlot::setHitsText(const QString& text) {
    if (text == itsHitsItem->text())
        return;
    itsHitsItem->setText(text);
    itsLegendChanged = true;
}

bool QHistogramPlot::isShown(int type, int channel) const {
    return itsTypeShown[type] && itsChannelVisible[type][channel];
}

void QHistogramPlot::updateLegend() {
    uint32_t wanted = 0;
    for (int type = 0; type < typeCount; ++type)
        for (int channel = 0; channel < channelCount; ++channel)
            if (isShown(type, channel))
                wanted |= 1u << (type * channelCount + channel);
    if (wanted == itsLegendGraphs)
        return;
    itsLegendGraphs = wanted;
    itsLayoutChanged = true;
    for (int type = 0; type < typeCount; ++type)
        for (int channel = 0; channel < channelCount; ++channel)
            itsGraphs[CurrentSet][type][channel]->removeFromLegend();
    for (int type = 0; type < typeCount; ++type)
        for (int channel = 0; channel < channelCount; ++channel)
            if (isShown(type, channel))
                itsGraphs[CurrentSet][type][channel]->addToLegend();
    legend->simplify();
}

void QHistogramPlot::updateScalingAndVisibility() {
    if (itsAutoScaleX || itsAutoScaleY) {
        int maxBin = 0;
        double maxCount = 0.0;
        for (int type = 0; type < typeCount; ++type) {
            for (int channel = 0; channel < channelCount; ++channel) {
                if (!isShown(type, channel))
                    continue;
                for (DataSet set : {CurrentSet, PreviousSet}) {
                    if (set == PreviousSet && !itsShowPrevious)
                        continue;
                    const Bins& values = itsValues[set][type][channel];
                    if (itsAutoScaleX) {
                        const auto last = std::find_if(values.rbegin(), values.rend(),
                                                       [](double value) { return value != 0.0; });
                        if (last != values.rend())
                            maxBin = std::max(maxBin, int(values.rend() - last) - 1);
                    }
                    if (itsAutoScaleY)
                        maxCount =
                            std::max(maxCount, *std::max_element(values.begin(), values.end()));
                }
            }
        }
        const qint64 now = itsClock();
        if (itsForceRescale.admits(now) || now - itsLastRescaleMs > rescaleIntervalMs) {
            itsLastRescaleMs = now;
            if (itsAutoScaleY) {
                const double upper = yUpperBoundFor(maxCount);
                if (upper != yAxis->range().upper)
                    yAxis->setRange(0, upper);
            }
            if (itsAutoScaleX && maxBin > 0)
                xAxis->setRange(0, std::max(maxBin, 64));
        }
    }

    for (int type = 0; type < typeCount; ++type) {
        for (int channel = 0; channel < channelCount; ++channel) {
            const bool peaks = type == Processed && channel == 2;
            const bool shown = isShown(type, channel) && !peaks;
            setShown(itsGraphs[CurrentSet][type][channel], shown, &itsSetChanged[CurrentSet]);
            setShown(itsGraphs[PreviousSet][type][channel], shown && itsShowPrevious,
                     &itsSetChanged[PreviousSet]);
        }
    }
    const bool peaksShown = isShown(Processed, 2);
    setShown(itsPeaksBars[CurrentSet], peaksShown, &itsSetChanged[CurrentSet]);
    setShown(itsPeaksBars[PreviousSet], peaksShown && itsShowPrevious, &itsSetChanged[PreviousSet]);
}

// A window that does not grow lets a forced rescale in continuous measurement give way to the
// rate limit again.
bool QHistogramPlot::ForcedRescale::admits(qint64 nowMs) {
    if (itsPhase == Phase::Requested) {
        itsPhase = Phase::Open;
        itsEndMs = nowMs + forcedRescaleWindowMs;
        return true;
    }
    if (itsPhase == Phase::Open && nowMs < itsEndMs)
        return true;
    end();
    return false;
}

void QHistogramPlot::setShown(QCPLayerable* layerable, bool shown, bool* changed) {
    if (layerable->visible() == shown)
        return;
    layerable->setVisible(shown);
    *changed = true;
}

void QHistogramPlot::applyLegendBox(int checkState) {
    setLegendVisible(checkState == Qt::Checked);
    replot(rpQueuedReplot);
}

void QHistogramPlot::applyAutoScaleXBox(int checkState, int xAxisMaxValue) {
    setAutoScaleX(checkState == Qt::Checked);
    if (checkState == Qt::Unchecked)
        setXAxisMax(xAxisMaxValue);
    applyContinuousModeBox();
}

void QHistogramPlot::applyAutoScaleYBox(int checkState, int yAxisMaxValue) {
    setAutoScaleY(checkState == Qt::Checked);
    if (checkState == Qt::Unchecked)
        setYAxisMax(yAxisMaxValue);
    applyContinuousModeBox();
}

void QHistogramPlot::applyXAxisMaxBox(int value, int autoScaleXState) {
    if (autoScaleXState == Qt::Unchecked)
        setXAxisMax(value);
    applyContinuousModeBox();
}

void QHistogramPlot::applyYAxisMaxBox(int value, int autoScaleYState) {
    if (autoScaleYState == Qt::Unchecked)
        setYAxisMax(value);
    applyContinuousModeBox();
}

void QHistogramPlot::applyContinuousModeBox() {
    setForceRescale(true);
    replot(rpQueuedReplot);
}

void QHistogramPlot::applySnapshotButton(bool showSnapshot) {
    if (showSnapshot)
        takeSnapshot();
    setShowPrevious(showSnapshot);
    replot(rpQueuedReplot);
}

QCPGraph* QHistogramPlot::histogramGraph(DataSet set, int type, int channel) const {
    if (type < 0 || type >= typeCount || channel < 0 || channel >= channelCount)
        return nullptr;
    return itsGraphs[set][type][channel];
}

QCPBars* QHistogramPlot::peaksBars(DataSet set) const {
    return itsPeaksBars[set];
}

QString QHistogramPlot::hitsText() const {
    return itsHitsItem->text();
}
