#include "firmwaretable.h"
#include "sensorconfig.h"
#include "simulatedsensor.h"

#include <benchmark/benchmark.h>

namespace {

ZyrSim::FirmwareRequest histogramRequest(char type, char channel) {
    ZyrSim::FirmwareRequest request;
    request.protocol = ZyrSim::SimulatedSensor::GetHistogram;
    request.replySize = ZyrSim::SimulatedSensor::histogramReplySize;
    request.payload = QByteArray(1, type) + QByteArray(1, channel);
    return request;
}

// One histogram reply as the board's firmware table produces it, moving target included.
void histogramReply(benchmark::State& state, const char* configText, char type) {
    ZyrSim::SensorConfig config;
    config.parse(QString::fromLatin1(configText));
    qint64 now = 0;
    ZyrSim::SimulatedSensor sensor(config, [&now]() { return now; });
    ZyrSim::FirmwareTable table;
    sensor.install(table);
    const ZyrSim::FirmwareRequest request = histogramRequest(type, 1);
    for (auto _ : state) {
        now += 16;
        auto reply = table.dispatch(request);
        benchmark::DoNotOptimize(reply);
    }
}

void BM_HistogramReply_ShortRangeFamily(benchmark::State& state) {
    histogramReply(state, "chip=KEL4301", 1);
}
BENCHMARK(BM_HistogramReply_ShortRangeFamily);

void BM_HistogramReply_LongRangeExponents(benchmark::State& state) {
    histogramReply(state, "chip=KEL4401", 2);
}
BENCHMARK(BM_HistogramReply_LongRangeExponents);

void BM_ObjectsReply(benchmark::State& state) {
    qint64 now = 0;
    ZyrSim::SimulatedSensor sensor(ZyrSim::SensorConfig(), [&now]() { return now; });
    ZyrSim::FirmwareRequest request;
    request.protocol = ZyrSim::SimulatedSensor::GetObjects;
    for (auto _ : state) {
        now += 16;
        auto reply = sensor.handle(request);
        benchmark::DoNotOptimize(reply);
    }
}
BENCHMARK(BM_ObjectsReply);

} // namespace

BENCHMARK_MAIN();
