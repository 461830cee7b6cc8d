// A measurement character sent by an automation client on the local host, to the last record of
// that cycle received by the client: the whole program on the simulated board. With the board's
// timing off this is the host's cost; with the timing model (one report per millisecond in each
// direction) it is compared with the wire time of the cycle's reports.

#include "mainwindow.h"
#include "simulatedevaluationboard.h"
#include "userdialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>

#include "benchmarkrun.h"

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

// HID report payload and stream frame header.
constexpr unsigned int kReportPayload = 61;
constexpr unsigned int kFrameHeader = 5;

unsigned int reportsFor(unsigned int payload) {
    return (kFrameHeader + payload + kReportPayload - 1) / kReportPayload;
}

// Polls the event loop until received holds a line starting with tag; false after a second.
bool receiveThrough(QTcpSocket& client, QByteArray& received, const QByteArray& tag) {
    QElapsedTimer waited;
    waited.start();
    while (!waited.hasExpired(1000)) {
        QCoreApplication::processEvents();
        received += client.readAll();
        const int start = received.lastIndexOf(tag);
        if (start >= 0 && received.indexOf("\r\n", start) >= 0)
            return true;
    }
    return false;
}

void runCycles(benchmark::State& state, bool timing) {
    ZyrSim::SimulatorConfig config;
    config.timing = timing;
    ZyrSim::SimulatedEvaluationBoard board(config);
    unsigned int reports = 0;
    board.board()
        .firmware(ZyrSim::BoardInterface::Module)
        .setObserver([&reports](const ZyrSim::FirmwareRequest& request) {
            reports += reportsFor(unsigned(request.payload.size())) + reportsFor(request.replySize);
        });
    MainWindow window(nullptr, 0);
    // The default display: the summed histogram.
    for (QCheckBox* box : window.findChildren<QCheckBox*>(QRegularExpression("^cb(TDC|Raw|Pro)")))
        box->setChecked(false);
    window.findChild<QCheckBox*>("cbSummed")->setChecked(true);
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, window.automationPort());
    QByteArray received;
    if (!receiveThrough(client, received, "#CAL;")) {
        state.SkipWithError("no greeting from the program");
        return;
    }
    reports = 0;
    std::chrono::steady_clock::duration elapsed{};
    for (auto _ : state) {
        received.clear();
        const auto start = std::chrono::steady_clock::now();
        client.write("x");
        client.flush();
        if (!receiveThrough(client, received, "#OBJ;")) {
            state.SkipWithError("the cycle's records did not come");
            return;
        }
        elapsed += std::chrono::steady_clock::now() - start;
    }
    state.counters["reports_per_cycle"] = double(reports) / double(state.iterations());
    if (timing) {
        state.counters["wire_ratio"] =
            std::chrono::duration<double, std::milli>(elapsed).count() / reports;
    }
}

void BM_CharacterToLastRecord(benchmark::State& state) {
    runCycles(state, false);
}
BENCHMARK(BM_CharacterToLastRecord)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CharacterToLastRecordWithReportTiming(benchmark::State& state) {
    runCycles(state, true);
}
BENCHMARK(BM_CharacterToLastRecordWithReportTiming)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(200)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    drawOffscreen();
    QApplication application(argc, argv);
    // Keep the program's settings, including the single-instance flag, out of the real stores.
    QTemporaryDir settingsFolder;
    keepSettingsIn(settingsFolder.path());
    UserDialogs::setMessageHandler([](const UserDialogs::Message&) {});
    reduceTimerSlack();
    return runBenchmarks(argc, argv);
}
