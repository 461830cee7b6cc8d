// A histogram exchange (2 request bytes, 512 reply bytes) through ComStream, HidComDriver and the
// simulated board: one output report and nine input reports per exchange.

#include "Communication/comstream.h"
#include "Communication/comstreamformatter.h"
#include "Communication/serializablecomobject.h"
#include "HidDevice/hidbackend.h"
#include "boardids.h"
#include "hid/hidcomdriver.h"
#include "hidbackend_sim.h"
#include "simulatedboard.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>

using namespace ZyrHid;
using ZyrCore::Communication::ComStream;
using ZyrCore::Communication::ComStreamFormatter;
using ZyrCore::Communication::IComObject;
using ZyrCore::Communication::SerializableComObject;
using ZyrSim::BoardInterface;
using ZyrSim::FirmwareReply;
using ZyrSim::FirmwareRequest;

namespace {

constexpr unsigned char kHistogramProtocol = 1;
constexpr unsigned int kBins = 512;
constexpr unsigned int kReportsPerExchange = 1 + (5 + kBins + 60) / 61;

class HistogramRequest : public SerializableComObject {
public:
    HistogramRequest()
        : SerializableComObject(kHistogramProtocol, 2, kBins, RequestAndResponse, 0) {}
    bool serialize(unsigned char* buffer, unsigned int size) override {
        if (size < 2)
            return false;
        buffer[0] = 1;
        buffer[1] = 0;
        return true;
    }
    bool deserialize(unsigned char* buffer, unsigned int size) override {
        std::memcpy(itsBins, buffer, std::min<unsigned int>(size, kBins));
        return size == kBins;
    }
    IComObject* clone() override { return new HistogramRequest(*this); }

private:
    unsigned char itsBins[kBins] = {};
};

void runExchanges(benchmark::State& state, bool timing) {
    ZyrSim::SimulatorConfig config;
    config.timing = timing;
    ZyrSim::SimulatedBoard board(config);
    const QByteArray bins(int(kBins), '\x11');
    board.firmware(BoardInterface::Module)
        .setHandler(kHistogramProtocol,
                    [&](const FirmwareRequest&) -> std::optional<FirmwareReply> {
                        return FirmwareReply{0, bins, std::nullopt, 0};
                    });
    SimHidBackend backend(board);
    HidBackend::Scope scope(&backend);

    HidComDeviceInfo info(BoardIds::vendorId, BoardIds::productId);
    info.setPath(BoardIds::moduleInterfaceFilter);
    HidComDriver driver(info);
    ComStreamFormatter formatter;
    driver.setStreamFormatter(&formatter);
    ComStream stream(&driver, ComStream::theImmediateFlushPolicy);
    if (!stream.open()) {
        state.SkipWithError("the simulated module interface does not open");
        return;
    }

    HistogramRequest request;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        stream.execute(&request);
        if (stream.lastError() != 0 || !request.valid()) {
            state.SkipWithError("exchange failed");
            break;
        }
    }
    const std::chrono::duration<double, std::milli> elapsed =
        std::chrono::steady_clock::now() - start;
    if (timing && state.iterations() > 0) {
        // Time per exchange over the wire floor of one report per millisecond.
        state.counters["wire_ratio"] =
            elapsed.count() / (double(state.iterations()) * kReportsPerExchange);
    }
    state.counters["reports"] = kReportsPerExchange;
}

void BM_HistogramExchange(benchmark::State& state) {
    runExchanges(state, false);
}
void BM_HistogramExchangeTimed(benchmark::State& state) {
    runExchanges(state, true);
}

} // namespace

BENCHMARK(BM_HistogramExchange)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HistogramExchangeTimed)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

BENCHMARK_MAIN();
