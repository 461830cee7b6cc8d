// Start-up cost of the program on the simulated board (timing model off), and its idle CPU load
// while the board is supervised and nothing is measured.

#include "devicestatusbar.h"
#include "mainwindow.h"
#include "simulatedevaluationboard.h"
#include "windowhelper.h"
#include "zyrstatusfield.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSplashScreen>
#include <QTemporaryDir>
#include <QTimer>

#include "benchmarkrun.h"

#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>

namespace {

double processCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

std::unique_ptr<ZyrSim::SimulatedEvaluationBoard> createBoard(benchmark::State& state) {
    QString error;
    auto board = ZyrSim::SimulatedEvaluationBoard::create(QString(), &error);
    if (!board)
        state.SkipWithError(qPrintable(error));
    return board;
}

bool channelsOpen(MainWindow& window) {
    const auto* statusBar = window.findChild<DeviceStatusBar*>();
    const char* green = "background-color: #009f69";
    return statusBar != nullptr && statusBar->controlHidField()->styleSheet().contains(green) &&
           statusBar->moduleHidField()->styleSheet().contains(green);
}

// From the splash screen to a window whose two stream nodes are open.
void BM_StartUntilChannelsOpen(benchmark::State& state) {
    for (auto _ : state) {
        auto board = createBoard(state);
        if (!board)
            return;
        std::unique_ptr<QSplashScreen> splash(ZyrGui::WindowHelper::createSplashScreen());
        splash->show();
        MainWindow window(nullptr, 0);
        window.show();
        splash->finish(&window);
        state.PauseTiming();
        if (!channelsOpen(window))
            state.SkipWithError("the channels did not open");
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUntilChannelsOpen)->Unit(benchmark::kMillisecond)->Iterations(10);

// CPU time per wall-clock second with the window idle: supervision timers only.
void BM_IdleLoad(benchmark::State& state) {
    auto board = createBoard(state);
    if (!board)
        return;
    MainWindow window(nullptr, 0);
    window.show();
    for (auto _ : state) {
        const double cpuBefore = processCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        QTimer::singleShot(3000, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
        const double cpu = processCpuSeconds() - cpuBefore;
        state.counters["cpu_percent_of_one_core"] = 100.0 * cpu / (wall.elapsed() / 1000.0);
    }
}
BENCHMARK(BM_IdleLoad)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    drawOffscreen();
    QApplication application(argc, argv);
    // Keep the program's settings, including the single-instance flag, out of the real stores.
    QTemporaryDir settingsFolder;
    keepSettingsIn(settingsFolder.path());
    return runBenchmarks(argc, argv);
}
