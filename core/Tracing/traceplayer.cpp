#include "Tracing/traceplayer.h"

#include "Communication/commandmanager.h"
#include "Communication/icomexecutor.h"
#include "Communication/icomobject.h"
#include "Communication/icomstream.h"
#include "Communication/iexecutable.h"
#include "Tools/zyrassert.h"
#include "Tracing/telegramcopy.h"
#include "Tracing/tracefileoutline.h"
#include "Tracing/tracepattern.h"

#include <memory>

namespace ZyrCore::Tracing {

using namespace ZyrCore::Communication;

namespace {

constexpr const char* kSource = "Tracing/traceplayer";
constexpr int kRequest = 0;
constexpr int kResponse = 1;

bool isTelegramStart(const QXmlStreamReader& reader) {
    return reader.isStartElement() && reader.name() == QLatin1String("Telegram");
}

// An element around or beside the telegrams that binds a namespace. A telegram's text is read
// alone, so it would have to carry every such name again; the recorder binds none there.
bool bindsNamespaceOutsideTelegrams(const QXmlStreamReader& reader) {
    return reader.isStartElement() && !reader.namespaceDeclarations().isEmpty();
}

// What may stand after a telegram and before the next one: the end of the root among them.
bool isBetweenTelegrams(const QXmlStreamReader& reader) {
    return reader.isWhitespace() || reader.isComment() || reader.isProcessingInstruction() ||
           reader.isEndElement();
}

// Reads on to the next Telegram start or the end of the input. False at a token that may not
// stand there, which ends reading, playing and loading alike: an element that binds a namespace,
// and after a telegram anything but what may stand between telegrams.
bool skipToTelegram(QXmlStreamReader* reader, bool afterTelegram) {
    while (!isTelegramStart(*reader) && !reader->atEnd()) {
        if (bindsNamespaceOutsideTelegrams(*reader) ||
            (afterTelegram && !isBetweenTelegrams(*reader)))
            return false;
        reader->readNext();
    }
    return true;
}

// Attaches reader to the guarded bytes of file from its start; the header check's result, and
// false for a file that is not a regular one.
bool attachReader(QFile* file, GuardedTraceFile* guarded, QXmlStreamReader* reader) {
    // Only a regular file is read from its start again; a device or a pipe may never end
    // (/dev/zero) and cannot go back.
    if (file->isSequential())
        return false;
    guarded->restart(file);
    reader->setDevice(guarded);
    return TracePlayer::checkFileHeader(file, reader);
}

// Whether a reader that stopped there has read the whole file: the end of the document, or the
// end of a file that lacks nothing but the root's end tag.
bool endsCleanly(const QXmlStreamReader& reader, const GuardedTraceFile& guarded) {
    if (reader.tokenType() == QXmlStreamReader::EndDocument)
        return true;
    return guarded.onlyRootEndMissing() &&
           reader.error() == QXmlStreamReader::PrematureEndOfDocumentError;
}

// A whole file read apart from the player's own.
struct FileReading {
    // The header check's result.
    bool open(const QString& fileName) {
        file.setFileName(fileName);
        return file.open(QIODevice::ReadOnly) && attachReader(&file, &guarded, &reader);
    }
    bool endsCleanly() const { return ZyrCore::Tracing::endsCleanly(reader, guarded); }

    QFile file;
    GuardedTraceFile guarded;
    QXmlStreamReader reader;
};

} // namespace

TracePlayer::TracePlayer(QObject* parent, IComExecutor* executor)
    : QObject(parent)
    , itsComExecutor(executor) {}

TracePlayer::~TracePlayer() {
    readPendingReplies();
    qDeleteAll(itsPendingResults);
    if (itsFile.isOpen())
        itsFile.close();
}

void TracePlayer::setComExecutor(IComExecutor* executor) {
    if (executor == itsComExecutor)
        return;
    readPendingReplies();
    if (!itsPendingResults.isEmpty())
        releasePendingResults();
    itsComExecutor = executor;
}

bool TracePlayer::open(QString fileName) {
    if (itsFile.isOpen())
        return false;
    itsFile.setFileName(fileName);
    if (!itsFile.open(QIODevice::ReadOnly))
        return false;
    if (itsFile.isSequential()) {
        itsFile.close();
        return false;
    }
    return reset();
}

void TracePlayer::close() {
    itsReader.clear();
    itsText.release();
    itsFile.close();
    itsFile.setFileName(QString());
}

bool TracePlayer::reset() {
    ZYR_ASSERT(kSource, itsFile.isOpen(), "File not open.");
    itsLastStep = Step::Telegram;
    return attachReader(&itsFile, &itsText, &itsReader);
}

bool TracePlayer::isOpen() const {
    return itsFile.isOpen();
}

bool TracePlayer::isEndOfFile() const {
    ZYR_ASSERT(kSource, itsFile.isOpen(), "File not open.");
    return itsLastStep != Step::Broken && endsCleanly(itsReader, itsText);
}

QString TracePlayer::fileName() const {
    return itsFile.fileName();
}

bool TracePlayer::checkFileHeader(QFile* file, QXmlStreamReader* reader) {
    ZYR_ASSERT(kSource, file->isOpen() == true, "File not open.");
    ZYR_ASSERT(kSource, file->pos() == 0, "File not at position 0.");
    reader->readNext();
    return reader->documentVersion() == QLatin1String("1.0");
}

bool TracePlayer::findNextTelegram(QString* text, QXmlStreamReader* reader) {
    return findTelegram(text, reader) == Step::Telegram;
}

TracePlayer::Step TracePlayer::findTelegram(QString* text, QXmlStreamReader* reader) {
    if (!skipToTelegram(reader, false))
        return Step::Broken;
    if (!isTelegramStart(*reader))
        return Step::End;

    TelegramCopy copy;
    int depth = 0;
    do {
        if (reader->isStartElement()) {
            if (++depth > maxTelegramDepth)
                break;
        } else if (reader->isEndElement()) {
            --depth;
        }
        if (isCopiedToken(*reader))
            copy.copy(*reader);
        reader->readNext();
    } while (depth > 0 && !isTelegramStart(*reader) && !reader->atEnd());
    // A telegram the input breaks off in, or garbles, is not played half; what stands between
    // telegrams is no part of either.
    if (depth != 0 || !skipToTelegram(reader, true))
        return Step::Broken;
    text->append(copy.take());
    return Step::Telegram;
}

IComObject* TracePlayer::tryCreateObject(QString telegram) {
    if (telegram.isEmpty())
        return nullptr;
    return CommandManager::instance()->convertToComObject(telegram);
}

bool TracePlayer::playSingleTelegram(QString telegram) {
    const bool succeeded = play(telegram, true, nullptr);
    emit playedSingleTelegram(succeeded);
    return succeeded;
}

bool TracePlayer::playNext(bool* notPlayed) {
    const bool succeeded = playNextInternal(notPlayed);
    emit playedNext(succeeded);
    return succeeded;
}

bool TracePlayer::playToEnd() {
    while (playNextInternal(nullptr)) {
    }
    // A last telegram that failed leaves the reader at the end, but the file was not played.
    const bool atEnd = isEndOfFile() && itsLastStep != Step::Unplayable;
    emit playedToEnd(atEnd);
    return atEnd;
}

bool TracePlayer::readTelegrams(QString fileName, QList<QString>* telegrams) {
    FileReading reading;
    if (!reading.open(fileName))
        return false;
    QString telegram;
    Step step;
    while ((step = findTelegram(&telegram, &reading.reader)) == Step::Telegram) {
        telegrams->append(telegram);
        telegram.clear();
    }
    return step == Step::End && reading.endsCleanly();
}

bool TracePlayer::visitTelegrams(QString fileName,
                                 const std::function<bool(QXmlStreamReader*)>& visit) {
    FileReading reading;
    if (!reading.open(fileName))
        return false;
    QXmlStreamReader& reader = reading.reader;
    bool telegramSeen = false;
    while (skipToTelegram(&reader, telegramSeen)) {
        if (reader.atEnd())
            return reading.endsCleanly();
        if (!visit(&reader) || !reader.isEndElement())
            return false;
        telegramSeen = true;
        reader.readNext();
    }
    return false;
}

bool TracePlayer::playNextInternal(bool* notPlayed) {
    if (notPlayed != nullptr)
        *notPlayed = true;
    ZYR_ASSERT(kSource, NULL != itsComExecutor,
               "ComStream is null. Please set an instance of ComStream.");
    ZYR_ASSERT(kSource, itsFile.isOpen(), "File not opened.");

    if (itsLastStep == Step::Broken)
        return false;
    QString telegram;
    itsLastStep = findTelegram(&telegram, &itsReader);
    if (itsLastStep != Step::Telegram)
        return false;
    if (!play(telegram, false, notPlayed))
        itsLastStep = Step::Unplayable;
    return itsLastStep == Step::Telegram;
}

bool TracePlayer::play(const QString& telegram, bool flush, bool* notPlayed) {
    ZYR_ASSERT(kSource, itsComExecutor != NULL, "itsComExecutor is Null!");
    if (notPlayed != nullptr)
        *notPlayed = true;

    std::unique_ptr<IComObject> object(tryCreateObject(telegram));
    if (object == nullptr)
        return false;
    QString text = telegram;
    const int telegramType = CommandManager::instance()->getTelegramType(&text);

    auto* stream = dynamic_cast<IComStream*>(itsComExecutor);
    if (stream != nullptr && dynamic_cast<IExecutable*>(object.get()) == nullptr) {
        if (telegramType == kResponse)
            return true;
        if (telegramType != kRequest)
            return false;
        switch (object->callingType()) {
        case IComObject::FireAndForget:
            stream->append(object.get());
            break;
        case IComObject::RequestAndResponse:
            stream->append(object.get());
            itsPendingResults.append(object.release());
            break;
        default:
            return false;
        }
        if (flush)
            stream->flush();
        if (!stream->isResultPending())
            releasePendingResults();
    } else if (telegramType == kRequest) {
        itsComExecutor->execute(object.get());
    }

    if (notPlayed != nullptr)
        *notPlayed = false;
    return true;
}

// The stream links pending requests until it has read their replies: only then may they go.
// Without pending requests the executor is not touched; it may be gone already.
void TracePlayer::readPendingReplies() {
    if (itsPendingResults.isEmpty())
        return;
    auto* stream = dynamic_cast<IComStream*>(itsComExecutor);
    if (stream != nullptr && stream->isResultPending())
        stream->flush();
}

void TracePlayer::releasePendingResults() {
    QList<IComObject*>* results = &itsPendingResults;
    resultDelegate.invoke(
        QArgument<QList<IComObject*>*>("QList<ZyrCore::Communication::IComObject*>*", results));
    qDeleteAll(itsPendingResults);
    itsPendingResults.clear();
}

} // namespace ZyrCore::Tracing
