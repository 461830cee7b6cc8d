#ifndef ZYRAPP_PLOTS_QHISTOGRAMPLOT_H
#define ZYRAPP_PLOTS_QHISTOGRAMPLOT_H

#include "plots/plotclock.h"

#include <qcustomplot.h>

#include <array>
#include <cstdint>

class QCPStringLegendItem;

// The histogram plot of the histogram dock: five histogram types of five channels each, drawn
// for the current measurement and for a snapshot of an earlier one. It rescales its axes by
// itself, at most once a second unless a rescale is forced. None of the data and option
// setters replots; the apply... operations, which serve the main window's controls, do.
class QHistogramPlot : public QCustomPlot {
    Q_OBJECT

public:
    enum HistogramType { Proximity = 0, Distance = 1, Processed = 2, Summed = 3, Calibration = 4 };
    enum DataSet { CurrentSet = 0, PreviousSet = 1 };
    static constexpr int typeCount = 5;
    static constexpr int channelCount = 5;
    static constexpr int binCount = 256;
    static constexpr qint64 rescaleIntervalMs = 1000;
    static constexpr int forcedRescaleWindowMs = 100;

    explicit QHistogramPlot(QWidget* parent = nullptr);
    ~QHistogramPlot() override;

    // Replaces the clock that paces automatic rescaling; the rate limit starts over.
    void setClock(PlotClock clock);
    // Redraws, queued as replot(rpRefreshHint) does, only what changed since the last replot:
    // while the axes and the legend's layout stand still, the graph layers and the legend
    // are redrawn on their own; otherwise the whole plot is.
    void refresh();
    void resetRanges();

    void setLegendVisible(bool visible);
    void setTypeVisible(int type, bool visible);
    void setChannelVisible(int type, int channel, bool visible);
    void setProximityVisible(bool visible) { setTypeVisible(Proximity, visible); }
    void setDistanceVisible(bool visible) { setTypeVisible(Distance, visible); }
    void setProcessedVisible(bool visible) { setTypeVisible(Processed, visible); }
    void setCalibrationVisible(bool visible) { setTypeVisible(Calibration, visible); }
    void setSummedVisible(bool visible) { setTypeVisible(Summed, visible); }
    void setProximityChannelVisible(int channel, bool visible) {
        setChannelVisible(Proximity, channel, visible);
    }
    void setDistanceChannelVisible(int channel, bool visible) {
        setChannelVisible(Distance, channel, visible);
    }
    void setProcessedChannelVisible(int channel, bool visible) {
        setChannelVisible(Processed, channel, visible);
    }
    void setCalibrationChannelVisible(int channel, bool visible) {
        setChannelVisible(Calibration, channel, visible);
    }
    void setSummedChannelVisible(int channel, bool visible) {
        setChannelVisible(Summed, channel, visible);
    }
    // The five curves of the processed histogram.
    void setProcessedCurveVisible(bool visible) { setProcessedChannelVisible(0, visible); }
    void setRawCurveVisible(bool visible) { setProcessedChannelVisible(1, visible); }
    void setPeaksVisible(bool visible) { setProcessedChannelVisible(2, visible); }
    void setSmudgeLevelVisible(bool visible) { setProcessedChannelVisible(3, visible); }
    void setBaselineVisible(bool visible) { setProcessedChannelVisible(4, visible); }

    void setShowPrevious(bool show);
    // Copies the shown types into the previous set and empties the previous set of the others.
    void takeSnapshot();
    void setAutoScaleY(bool autoScale);
    void setAutoScaleX(bool autoScale);
    void setYAxisMax(int value);
    void setXAxisMax(int value);
    // true: every update rescales during the forced-rescale window, which opens with the first
    // rescale after the call, so each call gets a window of its own; false: no forced rescales.
    void setForceRescale(bool force);
    void setPileUpCorrection(bool correction);
    // false: "Proximity"/"Distance" naming; true: "Short Range"/"Long Range" naming and
    // exponent decoding of distance histograms. Replots.
    void setChipFamilyFlag(bool flag);
    int yAxisMax() const;
    int xAxisMax() const;

    // Each takes 5 x 256 bins, channel 0 first, and copies them at once.
    void setHistogramData(int type, const uint16_t* bins);
    void setProximityData(const uint16_t* bins) { setHistogramData(Proximity, bins); }
    void setDistanceData(const uint16_t* bins) { setHistogramData(Distance, bins); }
    void setProcessedData(const uint16_t* bins) { setHistogramData(Processed, bins); }
    void setSummedData(const uint16_t* bins) { setHistogramData(Summed, bins); }
    void setCalibrationData(const uint16_t* bins) { setHistogramData(Calibration, bins); }

    // The main window's plot controls, each applied in one call and followed by a queued replot.
    // Check states are Qt's: 0 unchecked, 1 partially checked, 2 checked.
    void applyLegendBox(int checkState);
    void applyAutoScaleXBox(int checkState, int xAxisMaxValue);
    void applyAutoScaleYBox(int checkState, int yAxisMaxValue);
    void applyXAxisMaxBox(int value, int autoScaleXState);
    void applyYAxisMaxBox(int value, int autoScaleYState);
    void applyContinuousModeBox();
    void applySnapshotButton(bool showSnapshot);

    QCPGraph* histogramGraph(DataSet set, int type, int channel) const;
    QCPBars* peaksBars(DataSet set) const;
    QString hitsText() const;

public slots:
    // Ends a forced-rescale window at once, or drops a request whose window has not opened. The
    // name is the plot's published slot, kept for its callers from when a timer ended the window.
    void resetRescaleSingleShot();

private:
    using Bins = std::array<double, binCount>;

    // A forced rescale: none, asked for, or open until its end on the plot's clock. The window is
    // a deadline rather than a timer: a burst of measurements rescales many times without
    // returning to the event loop, and a timer per rescale would pile up there.
    class ForcedRescale {
    public:
        void request() { itsPhase = Phase::Requested; }
        void end() { itsPhase = Phase::None; }
        // Whether a rescale at nowMs is forced. The first one after a request opens the window;
        // later ones do not extend it, and the first one past its end closes it.
        bool admits(qint64 nowMs);

    private:
        enum class Phase { None, Requested, Open };
        Phase itsPhase = Phase::None;
        qint64 itsEndMs = 0; // while open
    };

    void setupGraphs();
    void styleType(int type);
    void clearAll();
    void clearSet(int type, DataSet set);
    void showChannel(DataSet set, int type, int channel);
    void showPeaks(DataSet set);
    void updateLegend();
    void updateScalingAndVisibility();
    bool isShown(int type, int channel) const;
    QString hitsPrefix() const;
    void resetHitsText();
    void setHitsText(const QString& text);
    void nameGraphs();
    void setShown(QCPLayerable* layerable, bool shown, bool* changed);
    int hitsTextWidth() const;
    bool hitsRowNeedsLayout() const;
    void onReplotted();

    bool itsAutoScaleY = false;
    bool itsAutoScaleX = false;
    std::array<bool, typeCount> itsTypeShown{};
    bool itsShowPrevious = false;
    PlotClock itsClock;
    qint64 itsLastRescaleMs = 0;
    int32_t itsProximityHits = 0;
    ForcedRescale itsForceRescale;
    std::array<std::array<bool, channelCount>, typeCount> itsChannelVisible{};
    QVector<double> itsKeys;
    // [set][type][channel]
    Bins itsValues[2][typeCount][channelCount];
    QCPGraph* itsGraphs[2][typeCount][channelCount] = {};
    QCPStringLegendItem* itsHitsItem = nullptr;
    bool itsChipFamilyFlag = false;
    bool itsPileUpCorrection = false;
    QCPBars* itsPeaksBars[2] = {};
    // Graphs in the legend as a bit per current graph, so an unchanged legend is left alone.
    uint32_t itsLegendGraphs = ~0u;
    // What refresh() has to redraw; a whole replot draws everything.
    bool itsLayoutChanged = true;
    bool itsLegendChanged = true;
    bool itsSetChanged[2] = {true, true};
    QCPLayer* itsSetLayers[2] = {};
    // The axes and the hits row as last laid out: its text's width and the width it had.
    QCPRange itsDrawnXRange;
    QCPRange itsDrawnYRange;
    int itsDrawnHitsWidth = 0;
    int itsHitsRoom = 0;
};

#endif // ZYRAPP_PLOTS_QHISTOGRAMPLOT_H
