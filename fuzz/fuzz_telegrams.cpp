// Feeds arbitrary text to the telegram reader and the conversions built on it: whatever a trace
// file or a user holds, they must neither crash nor read or write out of bounds, and an object
// they accept must serialize within its frame. A text within the limits of markup reads as it
// says. The trace recorder, which lays telegrams out itself, must write the file a
// QXmlStreamWriter writes for the same telegrams; the trace viewer takes any text.

#include "Communication/commandinfo.h"
#include "Communication/commandmanager.h"
#include "Communication/icomobject.h"
#include "Communication/iserializable.h"
#include "Communication/telegramcontent.h"
#include "Tracing/tracepattern.h"
#include "Tracing/tracerecorder.h"
#include "Tracing/traceviewer.h"
#include "raspi/streamcontrolcommandset.h"
#include "raspi/streamregistercommandset.h"

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QXmlStreamWriter>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

using namespace ZyrCore::Communication;

namespace {

CommandManager& manager() {
    static CommandManager* registry = [] {
        auto* created = new CommandManager;
        ZyrCom::Commands::StreamRegisterCommandSet registerCommands;
        ZyrCom::Commands::StreamControlCommandSet controlCommands;
        created->registerCommandSet(&registerCommands);
        created->registerCommandSet(&controlCommands);
        return created;
    }();
    return *registry;
}

// A frame payload holds 1088 bytes; an accepted object must never ask for more.
void checkFitsItsFrame(IComObject* object) {
    auto* serializable = dynamic_cast<ISerializable*>(object);
    if (serializable == nullptr)
        return;
    if (serializable->serializeSize() > 1088 || serializable->deserializeSize() > 1088)
        std::abort();
    unsigned char payload[1088];
    serializable->serialize(payload, sizeof payload);
}

QByteArray contentsOf(const QString& fileName) {
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Records the telegram twice, as the first and as a later telegram of a file.
void checkRecorderLayout(const QString& telegram) {
    using ZyrCore::Tracing::TraceRecorder;
    unsigned int pattern = 0;
    QString scratch;
    QXmlStreamWriter scratchWriter(&scratch);
    // Only a whole telegram that the recorder's filter takes is written by both.
    if (!ZyrCore::Tracing::tryGetTracePattern(telegram, &pattern) || pattern == 0 ||
        !TraceRecorder::writeTelegram(telegram, &scratchWriter))
        return;
    static QTemporaryDir folder;
    const QString recorded = folder.filePath(QStringLiteral("recorded.xml"));
    const QString written = folder.filePath(QStringLiteral("written.xml"));
    TraceRecorder recorder;
    if (!recorder.open(recorded) || !recorder.trace(telegram) || !recorder.trace(telegram) ||
        !recorder.close() || !recorder.writeTelegrams(written, {telegram, telegram}))
        std::abort();
    if (contentsOf(recorded) != contentsOf(written))
        std::abort();
}

// The input as UTF-8, except that the three bytes UTF-8 would give a surrogate on its own stand
// for it (as in CESU-8), so that a text may hold what other encodings of a trace file decode to.
QString textOf(const uint8_t* data, size_t size) {
    const auto utf8 = [data](size_t from, size_t to) {
        return QString::fromUtf8(reinterpret_cast<const char*>(data + from), int(to - from));
    };
    QString text;
    size_t from = 0;
    for (size_t i = 0; i + 2 < size; ++i) {
        if (data[i] == 0xED && (data[i + 1] & 0xE0) == 0xA0 && (data[i + 2] & 0xC0) == 0x80) {
            text += utf8(from, i);
            text += QChar(char16_t(0xD000 | (data[i + 1] & 0x3F) << 6 | (data[i + 2] & 0x3F)));
            from = i + 3;
            i += 2;
        }
    }
    return text + utf8(from, size);
}

// A reader of a QString reads the text's UTF-8, a byte-order mark at its start left out.
void checkReadsAsItSays(const QString& telegram) {
    const QString read = QString::fromUtf8(telegram.toUtf8());
    if (ZyrCore::Communication::TelegramContent::isWithinLimits(telegram) &&
        read != QStringView(telegram).mid(telegram.startsWith(QChar(0xFEFF)) ? 1 : 0))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QString telegram = textOf(data, size);
    checkReadsAsItSays(telegram);
    CommandManager& registry = manager();
    registry.getTelegramType(&telegram);

    std::unique_ptr<IComObject> object(registry.convertToComObject(telegram));
    if (object != nullptr) {
        checkFitsItsFrame(object.get());
        registry.convertToXml(object.get());
    }

    std::unique_ptr<CommandInfo> info(registry.convertToCommandInfo(telegram));
    if (info != nullptr) {
        std::unique_ptr<IComObject> rebuilt(registry.convertToComObject(info.get()));
        if (rebuilt != nullptr)
            checkFitsItsFrame(rebuilt.get());
        registry.updateTelegram(&telegram, info.get());
    }
    checkRecorderLayout(telegram);
    ZyrCore::Tracing::TraceViewer().trace(telegram);
    return 0;
}
