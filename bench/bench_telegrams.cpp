// Cost of writing and reading telegrams, the work a trace sink puts on every traced exchange.
// A histogram request itself has no telegram form: tracing its exchange costs the flush telegram
// that the immediate flush policy writes after it.

#include "Communication/I2c/i2cblockreadregistercomobject.h"
#include "Communication/I2c/i2creadregistercomobject.h"
#include "Communication/commandmanager.h"
#include "Communication/ixmlserializable.h"
#include "Communication/streamflushobject.h"
#include "raspi/streamcontrolcommandset.h"
#include "raspi/streamregistercommandset.h"

#include <QXmlStreamWriter>

#include <benchmark/benchmark.h>

#include <memory>

using namespace ZyrCore::Communication;

namespace {

// As the stream traces: a fresh text, an auto-formatting writer.
QString telegramOf(IXmlSerializable* object, unsigned int telegramType) {
    QString text;
    QXmlStreamWriter writer(&text);
    writer.setAutoFormatting(true);
    object->xmlSerialize(&writer, telegramType);
    return text;
}

CommandManager& registry() {
    static CommandManager manager;
    static const bool registered = [] {
        ZyrCom::Commands::StreamRegisterCommandSet registerCommands;
        ZyrCom::Commands::StreamControlCommandSet controlCommands;
        manager.registerCommandSet(&registerCommands);
        manager.registerCommandSet(&controlCommands);
        return true;
    }();
    (void)registered;
    return manager;
}

void readBack(benchmark::State& state, const QString& telegram) {
    CommandManager& manager = registry();
    for (auto _ : state) {
        std::unique_ptr<IComObject> object(manager.convertToComObject(telegram));
        if (object == nullptr) {
            state.SkipWithError("telegram refused");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}

I2c::I2cBlockReadRegisterComObject blockReadResponse() {
    unsigned char bytes[256];
    for (int i = 0; i < 256; ++i)
        bytes[i] = static_cast<unsigned char>(i);
    return I2c::I2cBlockReadRegisterComObject(0x40, 0, 256, bytes, 256, 1, 1088, 0x8000000);
}

void BM_WriteHistogramExchangeTrace(benchmark::State& state) {
    StreamFlushObject flush;
    for (auto _ : state)
        benchmark::DoNotOptimize(telegramOf(&flush, 0));
    state.SetItemsProcessed(state.iterations());
}

void BM_WriteRegisterReadRequest(benchmark::State& state) {
    I2c::I2cReadRegisterComObject read(0x40, 0x90, 0x8000000, 1, 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(telegramOf(&read, 0));
    state.SetItemsProcessed(state.iterations());
}

void BM_ReadRegisterReadRequest(benchmark::State& state) {
    I2c::I2cReadRegisterComObject read(0x40, 0x90, 0x8000000, 1, 1);
    readBack(state, telegramOf(&read, 0));
}

void BM_WriteBlockReadResponse256(benchmark::State& state) {
    I2c::I2cBlockReadRegisterComObject response = blockReadResponse();
    for (auto _ : state)
        benchmark::DoNotOptimize(telegramOf(&response, 1));
    state.SetItemsProcessed(state.iterations());
}

void BM_ReadBlockReadResponse256(benchmark::State& state) {
    I2c::I2cBlockReadRegisterComObject response = blockReadResponse();
    readBack(state, telegramOf(&response, 1));
}

} // namespace

BENCHMARK(BM_WriteHistogramExchangeTrace);
BENCHMARK(BM_WriteRegisterReadRequest);
BENCHMARK(BM_ReadRegisterReadRequest);
BENCHMARK(BM_WriteBlockReadResponse256);
BENCHMARK(BM_ReadBlockReadResponse256);

BENCHMARK_MAIN();
