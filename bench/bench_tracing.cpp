// Cost of tracing: the recorder's work per telegram while a stream runs at the wire's full rate
// (target under 7 µs), loading a trace of 100,000 telegrams (target under 1.5 s), refusing
// a 3 MB file whose one element holds 200,000 attributes (target well under a second), and
// refusing a telegram text of 40,000 or 80,000 extra attributes in every text entry point and
// trace sink (target under 100 ms, about doubling with the count).

#include "Communication/I2c/i2creadregistercomobject.h"
#include "Communication/commandinfo.h"
#include "Communication/commandmanager.h"
#include "Communication/ixmlserializable.h"
#include "Communication/telegramcontent.h"
#include "Tracing/tracepattern.h"
#include "Tracing/traceplayer.h"
#include "Tracing/traceprogrammer.h"
#include "Tracing/tracerecorder.h"
#include "Tracing/traceviewer.h"
#include "raspi/streamcontrolcommandset.h"
#include "raspi/streamregistercommandset.h"

#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamWriter>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

using namespace ZyrCore::Communication;
using namespace ZyrCore::Tracing;

namespace {

void registerCommands() {
    static const bool registered = [] {
        ZyrCom::Commands::StreamRegisterCommandSet registerCommands;
        ZyrCom::Commands::StreamControlCommandSet controlCommands;
        CommandManager::instance()->registerCommandSet(&registerCommands);
        CommandManager::instance()->registerCommandSet(&controlCommands);
        return true;
    }();
    (void)registered;
}

// A register read's telegram (0 request, 1 response), as a stream hands it to its sink.
QString readTelegram(unsigned int telegramType) {
    I2c::I2cReadRegisterComObject read(0x40, 0x90, 0x8000000, 1, 1);
    unsigned char reply = 0x8E;
    read.deserialize(&reply, 1);
    QString text;
    QXmlStreamWriter writer(&text);
    writer.setAutoFormatting(true);
    read.xmlSerialize(&writer, telegramType);
    return text;
}

void BM_RecordTelegram(benchmark::State& state) {
    QTemporaryDir folder;
    TraceRecorder recorder;
    if (!recorder.open(folder.filePath(QStringLiteral("bench.xml")))) {
        state.SkipWithError("cannot create the trace file");
        return;
    }
    const QString telegram = readTelegram(1);
    for (auto _ : state)
        benchmark::DoNotOptimize(recorder.trace(telegram));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RecordTelegram);

// A trace of 100,000 register-read requests, written once.
QString largeTrace(QTemporaryDir& folder) {
    const QString fileName = folder.filePath(QStringLiteral("large.xml"));
    QList<QString> telegrams;
    const QString telegram = readTelegram(0);
    for (int i = 0; i < 100000; ++i)
        telegrams.append(telegram);
    TraceRecorder().writeTelegrams(fileName, telegrams);
    return fileName;
}

void BM_ReadTrace100k(benchmark::State& state) {
    QTemporaryDir folder;
    const QString fileName = largeTrace(folder);
    TracePlayer player;
    for (auto _ : state) {
        QList<QString> telegrams;
        if (!player.readTelegrams(fileName, &telegrams) || telegrams.count() != 100000)
            state.SkipWithError("trace not read whole");
    }
}
BENCHMARK(BM_ReadTrace100k)->Unit(benchmark::kMillisecond);

// Loading as a program also turns every telegram into a checked record.
void BM_LoadTrace100kAsProgram(benchmark::State& state) {
    registerCommands();
    QTemporaryDir folder;
    const QString fileName = largeTrace(folder);
    TracePlayer player;
    for (auto _ : state) {
        TraceProgrammer programmer;
        programmer.setPlayer(&player);
        if (!programmer.loadProgram(fileName) || programmer.getAllCommands().count() != 100000)
            state.SkipWithError("program not loaded whole");
    }
}
BENCHMARK(BM_LoadTrace100kAsProgram)->Unit(benchmark::kMillisecond);

// Writes the text as the file's bytes, one byte a character.
bool writeLatin1(const QString& fileName, const QString& text) {
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(text.toLatin1()) == text.size();
}

// Loads the file as a program until the state ends; it must be refused every time.
void refuseAsProgram(benchmark::State& state, const QString& fileName) {
    TracePlayer player;
    for (auto _ : state) {
        TraceProgrammer programmer;
        programmer.setPlayer(&player);
        if (programmer.loadProgram(fileName))
            state.SkipWithError("the hostile file was taken");
    }
}

QString attributes(int count) {
    QString text;
    for (int i = 0; i < count; ++i)
        text += QStringLiteral(" a%1=\"\"").arg(i);
    return text;
}

// An XML reader's cost grows with the square of one element's attributes: such a file must be
// refused before a reader sees it.
void BM_RefuseCrowdedTelegram(benchmark::State& state) {
    registerCommands();
    QTemporaryDir folder;
    const QString fileName = folder.filePath(QStringLiteral("crowded.xml"));
    QString telegram = readTelegram(0);
    telegram.replace(QStringLiteral("<Telegram"), QStringLiteral("<Telegram") + attributes(200000));
    if (!writeLatin1(
            fileName,
            QStringLiteral("<?xml version=\"1.0\"?><LogData>%1</LogData>").arg(telegram))) {
        state.SkipWithError("cannot write the file");
        return;
    }
    refuseAsProgram(state, fileName);
}
BENCHMARK(BM_RefuseCrowdedTelegram)->Unit(benchmark::kMillisecond);

// The same element written in UTF-7, where markup needs no '<' (1 MB).
void BM_RefuseCrowdedTelegramInUtf7(benchmark::State& state) {
    registerCommands();
    QTemporaryDir folder;
    const QString fileName = folder.filePath(QStringLiteral("utf7.xml"));
    if (!writeLatin1(fileName, QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-7\"?>"
                                              "<LogData>+ADw-Telegram%1/+AD4-</LogData>")
                                   .arg(attributes(100000)))) {
        state.SkipWithError("cannot write the file");
        return;
    }
    refuseAsProgram(state, fileName);
}
BENCHMARK(BM_RefuseCrowdedTelegramInUtf7)->Unit(benchmark::kMillisecond);

// One long entity referenced tens of thousands of times expands to gigabytes (900 kB).
void BM_RefuseLongEntity(benchmark::State& state) {
    registerCommands();
    QTemporaryDir folder;
    const QString fileName = folder.filePath(QStringLiteral("entity.xml"));
    QString telegram = readTelegram(0);
    telegram.replace(QStringLiteral("<Address>"),
                     QStringLiteral("<Address>") + QStringLiteral("&e;").repeated(300000));
    if (!writeLatin1(fileName, QStringLiteral("<?xml version=\"1.0\"?><!DOCTYPE LogData "
                                              "[<!ENTITY e \"%1\">]><LogData>%2</LogData>")
                                   .arg(QString(4000, QLatin1Char('x')), telegram))) {
        state.SkipWithError("cannot write the file");
        return;
    }
    refuseAsProgram(state, fileName);
}
BENCHMARK(BM_RefuseLongEntity)->Unit(benchmark::kMillisecond);

// A telegram text with that many extra attributes; hidden: behind a lone surrogate, which a
// reader of a QString reads as '?', closing the processing instruction that the text says runs
// on to the "?>" in z's value.
QString crowdedText(int count, bool hidden) {
    QString telegram = readTelegram(0);
    telegram.replace(QStringLiteral("<Telegram"),
                     QStringLiteral("<Telegram z=\"?>\"") + attributes(count));
    return hidden ? QStringLiteral("<?x ") + QChar(0xDC00) + QStringLiteral(">") + telegram
                  : telegram;
}

// Each text entry point of the registry and each trace sink must refuse a crowded telegram
// before a reader sees it, in time that follows the text's size: arguments are the extra
// attributes and whether they hide behind a lone surrogate. taken says whether it was not
// refused.
void BM_RefuseCrowdedText(benchmark::State& state, bool (*taken)(const QString&)) {
    registerCommands();
    const QString telegram = crowdedText(int(state.range(0)), state.range(1) != 0);
    for (auto _ : state) {
        if (taken(telegram)) {
            state.SkipWithError("the crowded telegram was taken");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * telegram.size() * 2);
}

void crowdedTexts(benchmark::internal::Benchmark* benchmark) {
    benchmark->ArgsProduct({{40000, 80000}, {0, 1}})
        ->ArgNames({"attributes", "hidden"})
        ->Unit(benchmark::kMillisecond);
}

bool withinLimits(const QString& telegram) {
    return TelegramContent::isWithinLimits(telegram);
}
BENCHMARK_CAPTURE(BM_RefuseCrowdedText, withinLimits, &withinLimits)->Apply(crowdedTexts);

bool recordRead(const QString& telegram) {
    return std::unique_ptr<CommandInfo>(
               CommandManager::instance()->convertToCommandInfo(telegram)) != nullptr;
}
BENCHMARK_CAPTURE(BM_RefuseCrowdedText, convertToCommandInfo, &recordRead)->Apply(crowdedTexts);

bool objectRead(const QString& telegram) {
    return std::unique_ptr<IComObject>(CommandManager::instance()->convertToComObject(telegram)) !=
           nullptr;
}
BENCHMARK_CAPTURE(BM_RefuseCrowdedText, convertToComObject, &objectRead)->Apply(crowdedTexts);

bool typeRead(const QString& telegram) {
    QString text = telegram;
    return CommandManager::instance()->getTelegramType(&text) != 255;
}
BENCHMARK_CAPTURE(BM_RefuseCrowdedText, getTelegramType, &typeRead)->Apply(crowdedTexts);

bool updated(const QString& telegram) {
    static const std::unique_ptr<CommandInfo> record(
        CommandManager::instance()->convertToCommandInfo(readTelegram(0)));
    QString text = telegram;
    return CommandManager::instance()->updateTelegram(&text, record.get());
}
BENCHMARK_CAPTURE(BM_RefuseCrowdedText, updateTelegram, &updated)->Apply(crowdedTexts);

bool patternRead(const QString& telegram) {
    unsigned int pattern = 0;
    return tryGetTracePattern(telegram, &pattern);
}
BENCHMARK_CAPTURE(BM_RefuseCrowdedText, tryGetTracePattern, &patternRead)->Apply(crowdedTexts);

bool viewerMatched(const QString& telegram) {
    return TraceViewer().matchFilter(telegram);
}
BENCHMARK_CAPTURE(BM_RefuseCrowdedText, viewerMatchFilter, &viewerMatched)->Apply(crowdedTexts);

bool viewerTraced(const QString& telegram) {
    TraceViewer viewer;
    viewer.trace(telegram);
    return !viewer.getTracedProperties()->isEmpty();
}
BENCHMARK_CAPTURE(BM_RefuseCrowdedText, viewerTrace, &viewerTraced)->Apply(crowdedTexts);

} // namespace

BENCHMARK_MAIN();
