#include "logging.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <array>

namespace {

// Histogram records written to a file; the bytes per second are the log's throughput. The
// exponent form adds the decode of every bin.
void writeHistograms(benchmark::State& state, uint8_t histogramType) {
    QTemporaryDir folder;
    Logging log(folder.filePath(QStringLiteral("bench.csv")));
    if (!log.open()) {
        state.SkipWithError("cannot open the log file");
        return;
    }
    std::array<uint16_t, 256> bins{};
    for (int bin = 0; bin < 256; ++bin)
        bins[bin] = static_cast<uint16_t>(bin * 251);
    bins[127] = 3;
    bins[255] = 5;
    const qint64 recordSize = 4 + 256 * 11 + 2;
    for (auto _ : state)
        log.writeHistogram(bins.data(), 2, histogramType, false, true);
    state.SetBytesProcessed(state.iterations() * recordSize);
}

void BM_LogHistogramsToFile(benchmark::State& state) {
    writeHistograms(state, 1);
}
BENCHMARK(BM_LogHistogramsToFile);

void BM_LogExponentHistogramsToFile(benchmark::State& state) {
    writeHistograms(state, 2);
}
BENCHMARK(BM_LogExponentHistogramsToFile);

} // namespace

BENCHMARK_MAIN();
