// Cost of one redraw of each plot after new data, as the measurement cycle causes it: new data
// is handed over, then the plot redraws what changed and is painted onto a pixmap standing in
// for the screen. Offscreen, at the sizes the plots have in the smallest window. A 60 Hz
// display leaves 16 ms for a whole cycle.

#include "Communication/comstream.h"
#include "framefakedriver.h"
#include "plots/distancebar.h"
#include "plots/qdistanceplot.h"
#include "plots/qhistogramplot.h"
#include "simulatedsensor.h"

#include <QApplication>

#include "benchmarkrun.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using ZyrCore::Communication::ComStream;
using Histogram = std::vector<uint16_t>;

// The simulated sensor behind a stream, on a clock the benchmark advances.
struct SensorRig {
    SensorRig()
        : sensor(ZyrSim::SensorConfig(), [this] { return now; })
        , driver(&firmware)
        , stream(&driver, ComStream::theImmediateFlushPolicy) {
        sensor.install(firmware);
        stream.open();
    }
    Histogram histogram(uint8_t type) {
        Histogram bins(5 * 256);
        for (char channel = 0; channel < 5; ++channel) {
            const QByteArray request = QByteArray(1, char(type)) + QByteArray(1, channel);
            const QByteArray reply = sensor.handle({1, false, 512, request})->payload;
            for (int bin = 0; bin < 256; ++bin)
                bins[256 * channel + bin] =
                    uint16_t(uint8_t(reply[2 * bin]) | uint8_t(reply[2 * bin + 1]) << 8);
        }
        return bins;
    }
    qint64 now = 0;
    ZyrSim::SimulatedSensor sensor;
    ZyrSim::FirmwareTable firmware;
    FrameFakeDriver driver;
    ComStream stream;
};

// Paints the plot as the screen would show it.
void paint(QWidget& plot) {
    static QPixmap screen;
    if (screen.size() != plot.size())
        screen = QPixmap(plot.size());
    plot.render(&screen);
}

// wholeReplot: every cycle replots the whole plot, as it happens when the axes rescale (at most
// once a second during continuous measurement).
void runHistogramPlot(benchmark::State& state, bool allGraphs, bool wholeReplot = false) {
    SensorRig rig;
    std::vector<Histogram> frames;
    for (int frame = 0; frame < 8; ++frame) {
        rig.now += 16;
        frames.push_back(rig.histogram(uint8_t(frame % 4)));
    }
    QHistogramPlot plot;
    plot.resize(700, 350);
    plot.show();
    plot.setAutoScaleX(true);
    plot.setAutoScaleY(true);
    plot.setLegendVisible(true);
    // The form starts with the processed histogram's main curve alone.
    for (int type = 0; type < QHistogramPlot::typeCount; ++type) {
        plot.setTypeVisible(type, allGraphs || type == QHistogramPlot::Processed);
        for (int channel = 0; channel < QHistogramPlot::channelCount; ++channel)
            plot.setChannelVisible(type, channel, allGraphs || channel == 0);
    }
    for (int type = 0; type < QHistogramPlot::typeCount; ++type)
        plot.setHistogramData(type, frames[type].data());
    plot.takeSnapshot();
    plot.setShowPrevious(allGraphs);
    std::size_t frame = 0;
    int wholeReplots = 0;
    QObject::connect(&plot, &QCustomPlot::afterReplot, [&wholeReplots] { ++wholeReplots; });
    for (auto _ : state) {
        frame = (frame + 1) % frames.size();
        if (allGraphs) {
            for (int type = 0; type < QHistogramPlot::typeCount; ++type)
                plot.setHistogramData(type, frames[(frame + type) % frames.size()].data());
        } else {
            plot.setProcessedData(frames[frame].data());
        }
        if (wholeReplot)
            plot.replot();
        else
            plot.refresh();
        paint(plot);
    }
    state.counters["whole_replots"] = wholeReplots;
}

void BM_HistogramPlotDefaultSelection(benchmark::State& state) {
    runHistogramPlot(state, false);
}
BENCHMARK(BM_HistogramPlotDefaultSelection)->Unit(benchmark::kMillisecond);

void BM_HistogramPlotAllGraphs(benchmark::State& state) {
    runHistogramPlot(state, true);
}
BENCHMARK(BM_HistogramPlotAllGraphs)->Unit(benchmark::kMillisecond);

void BM_HistogramPlotAllGraphsWholeReplot(benchmark::State& state) {
    runHistogramPlot(state, true, true);
}
BENCHMARK(BM_HistogramPlotAllGraphsWholeReplot)->Unit(benchmark::kMillisecond);

void BM_DistancePlotFullWindow(benchmark::State& state) {
    SensorRig rig;
    QDistancePlot plot;
    plot.resize(700, 450);
    plot.show();
    plot.setClock([&rig] { return rig.now; });
    plot.setComStream(&rig.stream);
    for (int point = 0; point < QDistancePlot::windowSize; ++point) {
        rig.now += 16;
        plot.measureDistance();
    }
    for (auto _ : state) {
        rig.now += 16;
        plot.measureDistance();
        plot.updateGraph();
        plot.applyAutoScaleYBox(Qt::Checked, 0);
        plot.replot();
        paint(plot);
    }
}
BENCHMARK(BM_DistancePlotFullWindow)->Unit(benchmark::kMillisecond);

void BM_DistanceBar(benchmark::State& state) {
    QCustomPlot plot;
    plot.resize(700, 200);
    plot.show();
    DistanceBar bar(&plot);
    bar.setup(true);
    bar.setLegendVisible(true);
    int step = 0;
    for (auto _ : state) {
        ++step;
        bar.showMeasurement(500 + step % 1000, step % 64, 18000u + step, 11000u + step);
        plot.replot();
        paint(plot);
    }
}
BENCHMARK(BM_DistanceBar)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    drawOffscreen();
    QApplication application(argc, argv);
    return runBenchmarks(argc, argv);
}
