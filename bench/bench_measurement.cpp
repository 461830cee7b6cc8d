// The main window's measurement cycle on the simulated board, offscreen, with the plots redrawn
// as on screen: CPU per cycle, the cycle rate against the wire time of its reports under the
// board's timing model, and resident memory over a long run. The cycles run as in Continuous
// Mode, one after the other as fast as they go instead of on the 16 ms tick.

#include "mainwindow.h"
#include "simulatedevaluationboard.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QSignalBlocker>
#include <QTemporaryDir>
#include <QTimer>

#include "benchmarkrun.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <unistd.h>

namespace {

constexpr int kReportPayload = 61;
constexpr int kFrameHeader = 5;
constexpr int kContinuousTickMs = 16;

int reportsFor(int payloadBytes) {
    return (kFrameHeader + payloadBytes + kReportPayload - 1) / kReportPayload;
}

double residentMegabytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0.0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / 1048576.0
                             : 0.0;
}

// The window on a board whose module has been activated, and the wire time of every request
// since the last reset: one millisecond per report in each direction.
class MeasuringWindow {
public:
    MeasuringWindow(const QString& boardConfig, bool everyHistogram) {
        itsBoard = ZyrSim::SimulatedEvaluationBoard::create(boardConfig);
        if (!itsBoard)
            return;
        itsBoard->board()
            .firmware(ZyrSim::BoardInterface::Module)
            .setObserver([this](const ZyrSim::FirmwareRequest& request) {
                itsWireMs +=
                    reportsFor(request.payload.size()) + reportsFor(int(request.replySize));
            });
        itsWindow = std::make_unique<MainWindow>(nullptr, 0);
        itsWindow->show();
        auto* serial = itsWindow->findChild<QLabel*>(QStringLiteral("lbSerialNumber"));
        QElapsedTimer waited;
        waited.start();
        while (serial->text().endsWith(QLatin1String("00-00-00-00")) && waited.elapsed() < 3000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        const QStringList boxes =
            everyHistogram
                ? QStringList{"cbSummed", "cbRaw",    "cbProximity", "cbCalibration", "cbTDC0",
                              "cbTDC1",   "cbTDC2",   "cbTDC3",      "cbTDC4",        "cbTDCPX0",
                              "cbTDCPX1", "cbTDCPX2", "cbTDCPX3",    "cbTDCPX4"}
                : QStringList{"cbSummed", "cbTDC1"};
        for (QCheckBox* box : itsWindow->findChildren<QCheckBox*>()) {
            if (box->objectName().startsWith(QLatin1String("cbTDC")) ||
                box->objectName() == QLatin1String("cbSummed") ||
                box->objectName() == QLatin1String("cbRaw") ||
                box->objectName() == QLatin1String("cbProximity")) {
                const QSignalBlocker blocker(box);
                box->setChecked(boxes.contains(box->objectName()));
            }
        }
        // Continuous Mode, with the window's own tick stopped: the benchmark runs the cycles.
        itsWindow->findChild<QCheckBox*>(QStringLiteral("cbContinuousMode"))->setChecked(true);
        for (QTimer* timer :
             itsWindow->findChildren<QTimer*>(QString(), Qt::FindDirectChildrenOnly))
            if (timer->isActive() && timer->interval() == kContinuousTickMs)
                timer->stop();
        itsReady = true;
        itsWireMs = 0;
    }
    ~MeasuringWindow() {
        itsWindow.reset();
        if (itsBoard)
            itsBoard->board().firmware(ZyrSim::BoardInterface::Module).setObserver({});
    }

    bool isReady() const { return itsReady; }
    // One cycle as the tick runs it, then the queued redraws and repaints it asked for.
    void cycle() {
        QMetaObject::invokeMethod(itsWindow.get(), "clickpbStartContinuous");
        QCoreApplication::processEvents();
    }
    qint64 wireMs() const { return itsWireMs; }
    void resetWire() { itsWireMs = 0; }

private:
    std::unique_ptr<ZyrSim::SimulatedEvaluationBoard> itsBoard;
    std::unique_ptr<MainWindow> itsWindow;
    bool itsReady = false;
    qint64 itsWireMs = 0;
};

void runCycles(benchmark::State& state, bool everyHistogram) {
    MeasuringWindow window(QString(), everyHistogram);
    if (!window.isReady()) {
        state.SkipWithError("the window did not come up on the simulated board");
        return;
    }
    for (auto _ : state)
        window.cycle();
}

// Default selection: the summed histogram, temperature and objects. Target: under 1 ms.
void BM_CycleDefaultSelection(benchmark::State& state) {
    runCycles(state, false);
}
BENCHMARK(BM_CycleDefaultSelection)->Unit(benchmark::kMillisecond);

// Every histogram type and channel (17 histograms). Target: under 8 ms.
void BM_CycleEveryHistogram(benchmark::State& state) {
    runCycles(state, true);
}
BENCHMARK(BM_CycleEveryHistogram)->Unit(benchmark::kMillisecond);

// Cycles back to back under the timing model; rate_over_wire_limit is the cycle rate over the
// rate the reports' wire time allows (target above 0.9 for the default selection, above 0.95
// for every histogram).
void BM_CycleRateTimed(benchmark::State& state) {
    MeasuringWindow window(QStringLiteral("timing=on"), state.range(0) != 0);
    if (!window.isReady()) {
        state.SkipWithError("the window did not come up on the simulated board");
        return;
    }
    window.cycle();
    window.resetWire();
    QElapsedTimer elapsed;
    elapsed.start();
    for (auto _ : state)
        window.cycle();
    const double seconds = double(elapsed.nsecsElapsed()) / 1e9;
    const double cyclesPerSecond = double(state.iterations()) / seconds;
    const double wireLimit = 1000.0 * double(state.iterations()) / double(window.wireMs());
    state.counters["cycles_per_second"] = cyclesPerSecond;
    state.counters["wire_limit_per_second"] = wireLimit;
    state.counters["rate_over_wire_limit"] = cyclesPerSecond / wireLimit;
}
BENCHMARK(BM_CycleRateTimed)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// 100,000 cycles with the default selection (timing model off). Resident memory is taken after
// a warm-up of 5,000 cycles and at the end; target: growth under 1 MB.
void BM_Soak(benchmark::State& state) {
    MeasuringWindow window(QString(), false);
    if (!window.isReady()) {
        state.SkipWithError("the window did not come up on the simulated board");
        return;
    }
    constexpr int kWarmUp = 5000;
    constexpr int kCycles = 100000;
    for (auto _ : state) {
        for (int i = 0; i < kWarmUp; ++i)
            window.cycle();
        const double before = residentMegabytes();
        for (int i = kWarmUp; i < kCycles; ++i)
            window.cycle();
        state.counters["rss_growth_mb"] = residentMegabytes() - before;
        state.counters["rss_mb"] = residentMegabytes();
    }
}
BENCHMARK(BM_Soak)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    drawOffscreen();
    QApplication application(argc, argv);
    // Keep the program's settings, including the single-instance flag, out of the real stores.
    QTemporaryDir settingsFolder;
    keepSettingsIn(settingsFolder.path());
    reduceTimerSlack();
    return runBenchmarks(argc, argv);
}
