// Feeds arbitrary bytes to the trace-file reader as a file: reading its telegrams, playing it to
// its end and loading it as a program must neither crash nor read or write out of bounds,
// whatever a damaged recording or a hostile file holds; playing and loading succeed only for a
// file that reads as a whole; and every telegram read stays within the limits of markup the
// file was read within, so that playing it refuses none.

#include "nullexecutor.h"

#include "Communication/commandmanager.h"
#include "Communication/telegramcontent.h"
#include "Tracing/traceplayer.h"
#include "Tracing/traceprogrammer.h"
#include "Tracing/tracerecorder.h"
#include "raspi/streamcontrolcommandset.h"
#include "raspi/streamregistercommandset.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamWriter>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace ZyrCore::Communication;
using namespace ZyrCore::Tracing;

namespace {

QString traceFile() {
    static QTemporaryDir folder;
    static const bool registered = [] {
        ZyrCom::Commands::StreamRegisterCommandSet registerCommands;
        ZyrCom::Commands::StreamControlCommandSet controlCommands;
        CommandManager::instance()->registerCommandSet(&registerCommands);
        CommandManager::instance()->registerCommandSet(&controlCommands);
        return true;
    }();
    Q_UNUSED(registered)
    return folder.filePath(QStringLiteral("trace.xml"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString fileName = traceFile();
    {
        QFile file(fileName);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }

    NullExecutor executor;
    TracePlayer player(nullptr, &executor);
    QList<QString> telegrams;
    const bool readWhole = player.readTelegrams(fileName, &telegrams);
    for (const QString& telegram : telegrams) {
        if (!TelegramContent::isWithinLimits(telegram))
            std::abort();
    }
    // Playing to the end or loading a program takes a file only when it reads as a whole: a
    // torn telegram is never dropped without a word. A file whose header check fails stays
    // open and is played all the same, but makes no promise.
    const bool opened = player.open(fileName);
    const bool played = player.isOpen() && player.playToEnd();
    if (opened && played && !readWhole)
        std::abort();

    // What was read must copy into a recording without breaking it.
    QBuffer recording;
    recording.open(QIODevice::WriteOnly);
    QXmlStreamWriter writer(&recording);
    TraceRecorder::writeHeaderOpening(&writer);
    for (const QString& telegram : telegrams)
        TraceRecorder::writeTelegram(telegram, &writer);

    TraceProgrammer programmer;
    programmer.setPlayer(&player);
    if (programmer.loadProgram(fileName) && !readWhole)
        std::abort();
    return 0;
}
