#include "automation/automationserver.h"
#include "logging.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpSocket>

#include "benchmarkrun.h"

#include <benchmark/benchmark.h>

#include <array>

namespace {

// Polls the event loop until done() holds; false when it did not within a second.
template <typename Condition>
bool processEventsUntil(Condition done) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done()) {
        if (elapsed.hasExpired(1000))
            return false;
        QCoreApplication::processEvents();
    }
    return true;
}

// A measurement character from a client on the local host to the last record of a cycle
// (five histograms and the objects line) read back by that client: the automation port's
// share of a remote measurement, without the board's exchanges.
void BM_AutomationCharacterToCycleRecords(benchmark::State& state) {
    AutomationServer server;
    QTcpSocket client;
    if (!server.listen(0)) {
        state.SkipWithError("cannot listen");
        return;
    }
    client.connectToHost(QHostAddress::LocalHost, server.port());
    if (!processEventsUntil([&server] { return server.client() != nullptr; })) {
        state.SkipWithError("no connection");
        return;
    }
    Logging log;
    log.setSocket(server.client());
    std::array<uint16_t, 256> bins{};
    bins.fill(1234);
    QObject::connect(&server, &AutomationServer::measurementRequested, [&log, &bins] {
        for (uint8_t type = 0; type < 5; ++type)
            log.writeHistogram(bins.data(), 1, type, false, true);
        log.writeObjects(1, 40, 1500, 300, 400);
    });
    QByteArray received;
    for (auto _ : state) {
        received.clear();
        client.write("x");
        client.flush();
        const bool complete = processEventsUntil([&] {
            received += client.readAll();
            return received.endsWith("\r\n") && received.contains("#OBJ;");
        });
        if (!complete) {
            state.SkipWithError("no records");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * received.size());
}
BENCHMARK(BM_AutomationCharacterToCycleRecords)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    return runBenchmarks(argc, argv);
}
