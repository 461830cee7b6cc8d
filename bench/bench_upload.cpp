// Upload of a 1 MiB file to the simulated evaluation board over the stack's control stream,
// package by package as the File Upload tab sends it. With the board's timing model (one report
// per millisecond in each direction) the upload is compared with the wire time of its reports;
// with timing off the host's CPU time per KiB is what remains.

#include "Communication/I2c/i2cconfigcomobject.h"
#include "Communication/communicationstackelement.h"
#include "Communication/comstream.h"
#include "boardids.h"
#include "raspi/Commands/uploadfilecomobject.h"
#include "raspi/raspistreamcommunicationstack.h"
#include "simulatedevaluationboard.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include "benchmarkrun.h"

#include <benchmark/benchmark.h>

#include <chrono>

using ZyrCore::Communication::ComStream;
using ZyrRasPi::RasPiStreamCommunicationStack;
using ZyrRasPi::Commands::UploadFileComObject;

namespace {

constexpr int kFileSize = 1024 * 1024;
const char* const kTarget = "/lib/firmware/kel4301_firmware.bin";
// HID report payload and stream frame header.
constexpr unsigned int kReportPayload = 61;
constexpr unsigned int kFrameHeader = 5;

unsigned int reportsFor(unsigned int payload) {
    return (kFrameHeader + payload + kReportPayload - 1) / kReportPayload;
}

// Uploads the file once; false when a package was not accepted. Counts the reports both ways.
bool upload(ComStream* stream, const QString& path, unsigned int* reports) {
    QList<UploadFileComObject*> packages;
    if (!UploadFileComObject::createObjects(path, QString::fromLatin1(kTarget), &packages))
        return false;
    bool accepted = true;
    for (UploadFileComObject* package : qAsConst(packages)) {
        stream->execute(package);
        *reports += reportsFor(package->serializeSize()) + reportsFor(0);
        if (stream->lastError() != 0 || package->status() != 0 || !package->valid()) {
            accepted = false;
            break;
        }
    }
    return UploadFileComObject::deleteObjects(&packages) && accepted;
}

void runUpload(benchmark::State& state, bool timing) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("firmware.bin"));
    QFile file(path);
    QByteArray content(kFileSize, Qt::Uninitialized);
    for (int index = 0; index < kFileSize; ++index)
        content[index] = char(index * 131 + index / 4099);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != kFileSize) {
        state.SkipWithError("cannot write the file to upload");
        return;
    }
    file.close();

    ZyrSim::SimulatorConfig config;
    config.timing = timing;
    ZyrSim::SimulatedEvaluationBoard board(config);
    ZyrCore::Communication::I2c::I2cConfigComObject configObject(2, 2, 0, 0x8000000);
    RasPiStreamCommunicationStack stack;
    stack.initialize(ZyrHid::BoardIds::productId,
                     ZyrSim::SimulatedRegisterFile::defaultSlaveAddress, &configObject, nullptr);
    stack.setActive(true);
    ZyrCore::Communication::CommunicationStackElement* element = nullptr;
    ComStream* stream = nullptr;
    if (stack.tryGetElementByName(RasPiStreamCommunicationStack::controlStreamName, &element))
        stream = dynamic_cast<ComStream*>(element->node());
    if (stream == nullptr || !stream->isOpen()) {
        state.SkipWithError("the control stream does not open over the simulated board");
        return;
    }

    unsigned int reports = 0;
    std::chrono::steady_clock::duration elapsed{};
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!upload(stream, path, &reports)) {
            state.SkipWithError("the board did not accept the upload");
            return;
        }
        elapsed += std::chrono::steady_clock::now() - start;
    }
    state.counters["KiB"] = kFileSize / 1024;
    state.counters["time_per_KiB"] =
        benchmark::Counter(kFileSize / 1024.0, benchmark::Counter::kIsIterationInvariantRate |
                                                   benchmark::Counter::kInvert);
    if (timing) {
        // One report per millisecond; requests and replies never overlap.
        state.counters["wire_ratio"] =
            std::chrono::duration<double, std::milli>(elapsed).count() / reports;
    }
}

void BM_UploadWithReportTiming(benchmark::State& state) {
    runUpload(state, true);
}
BENCHMARK(BM_UploadWithReportTiming)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_UploadHostCpu(benchmark::State& state) {
    runUpload(state, false);
}
BENCHMARK(BM_UploadHostCpu)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    // The stack's state managers need an application object; their ticks never run here.
    QCoreApplication application(argc, argv);
    reduceTimerSlack();
    return runBenchmarks(argc, argv);
}
