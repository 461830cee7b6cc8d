#include "Tracing/tracerecorder.h"

#include "Tracing/tracepattern.h"

#include <QBuffer>
#include <QXmlStreamReader>

namespace ZyrCore::Tracing {

namespace {

const QString kRootElement = QStringLiteral("LogData");

// Starts reading a telegram: its first token after the document start must be a Telegram
// element. The reader is the caller's, reused: setting one up costs as much as a third of the
// reading.
bool startTelegram(QXmlStreamReader& reader, const QString& telegram) {
    reader.clear();
    reader.addData(telegram);
    if (reader.readNext() == QXmlStreamReader::StartDocument)
        reader.readNext();
    return reader.isStartElement() && reader.name() == QLatin1String("Telegram");
}

// Reads the telegram on from its Telegram element to its end, handing each token to be copied
// to copy as it goes. True when the telegram was one whole, well-formed element with nothing
// after it but whitespace.
template <typename Copy>
bool readTelegramTokens(QXmlStreamReader& reader, Copy copy) {
    int depth = 0;
    while (!reader.atEnd()) {
        switch (reader.tokenType()) {
        case QXmlStreamReader::DTD:
            return false;
        case QXmlStreamReader::StartElement:
            if (++depth > maxTelegramDepth)
                return false;
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
        if (isCopiedToken(reader))
            copy(reader);
        reader.readNext();
    }
    return !reader.hasError();
}

// Ends the root's start tag at once, so that a file never closed parses up to its missing end
// tag; the blanks are those auto-formatting puts before the first telegram.
void endRootStartTag(QXmlStreamWriter& writer) {
    writer.writeCharacters(QLatin1Char('\n') +
                           QString(writer.autoFormattingIndent(), QLatin1Char(' ')));
}

} // namespace

TraceRecorder::TraceRecorder(QObject* parent)
    : QObject(parent) {}

TraceRecorder::~TraceRecorder() {
    if (itsFile.isOpen())
        close();
}

bool TraceRecorder::open(QString fileName) {
    if (itsFile.isOpen())
        return false;
    itsFile.setFileName(fileName);
    // Unbuffered: each piece reaches the file in one write of its own, or is reported at once.
    if (!itsFile.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return false;
    itsWriteFailed = false;
    QByteArray header;
    {
        QBuffer headerDevice(&header);
        headerDevice.open(QIODevice::WriteOnly);
        QXmlStreamWriter writer(&headerDevice);
        writeHeaderOpening(&writer);
        endRootStartTag(writer);
    }
    itsLayout = TelegramLayout();
    itsFallbackWriter.reset();
    if (!writeWhole(header)) {
        itsFile.close();
        return false;
    }
    setEnabled(true);
    return true;
}

bool TraceRecorder::close() {
    setEnabled(false);
    if (!itsFile.isOpen())
        return false;
    // After a failed write the file keeps its whole telegrams and stays unclosed.
    bool ended = false;
    if (!itsWriteFailed) {
        itsLayout.endElement();
        ended = writeStaged();
    }
    itsFile.close();
    return ended;
}

bool TraceRecorder::writeStaged() {
    return writeWhole(itsLayout.takeUtf8());
}

QString TraceRecorder::laidOutByWriter(const QString& telegram, bool isFirst) {
    if (itsFallbackWriter == nullptr) {
        // Brought to the file's state: right after the blanks before the first telegram, or
        // after another telegram.
        itsFallbackWriter = std::make_unique<QXmlStreamWriter>(&itsFallbackText);
        itsFallbackWriter->setAutoFormatting(true);
        itsFallbackWriter->writeStartElement(kRootElement);
        if (isFirst) {
            endRootStartTag(*itsFallbackWriter);
        } else {
            itsFallbackWriter->writeStartElement(QStringLiteral("Telegram"));
            itsFallbackWriter->writeEndElement();
        }
    }
    itsFallbackText.clear();
    writeTelegram(telegram, itsFallbackWriter.get());
    return itsFallbackText;
}

bool TraceRecorder::isOpen() const {
    return itsFile.isOpen();
}

bool TraceRecorder::flush() {
    return !itsWriteFailed && itsFile.flush();
}

bool TraceRecorder::writeWhole(const QByteArray& bytes) {
    const qint64 start = itsFile.pos();
    if (itsFile.write(bytes) == bytes.size())
        return true;
    // Cut a partly written piece off again, so the file ends with whole telegrams, and write
    // nothing more: a later telegram after a lost one would make the file lie.
    itsFile.resize(start);
    itsWriteFailed = true;
    setEnabled(false);
    return false;
}

bool TraceRecorder::setEnabled(bool enabled) {
    if (enabled == itsEnabled)
        return true;
    if (enabled && (!itsFile.isOpen() || itsWriteFailed))
        return false;
    itsEnabled = enabled;
    emit enabledChanged(enabled);
    return true;
}

void TraceRecorder::setFilter(unsigned int pattern) {
    if (pattern == itsFilter)
        return;
    itsFilter = pattern;
    emit filterChanged(pattern);
}

bool TraceRecorder::matchFilter(QString telegram) const {
    unsigned int pattern = 0;
    return tryGetTracePattern(telegram, &pattern) && (pattern & itsFilter) != 0;
}

bool TraceRecorder::trace(QString telegram) {
    if (!itsFile.isOpen() || itsWriteFailed || !itsEnabled)
        return false;
    // One reading checks the pattern, copies the telegram and finds whether it was whole.
    if (!startTelegram(itsReader, telegram))
        return true;
    bool hasPattern = false;
    const unsigned int pattern =
        itsReader.attributes().value(QLatin1String("Trace")).toUInt(&hasPattern, 16);
    if (!hasPattern || (pattern & itsFilter) == 0)
        return true;
    const bool isFirst = itsLayout.atFirstTelegram();
    const TelegramLayout::Mark start = itsLayout.mark();
    bool plain = true;
    const bool whole = readTelegramTokens(itsReader, [&](const QXmlStreamReader& reader) {
        plain = plain && itsLayout.copy(reader);
    });
    if (!whole) {
        itsLayout.rewind(start);
        return true;
    }
    if (!plain) {
        itsLayout.rewind(start);
        itsLayout.appendTelegram(laidOutByWriter(telegram, isFirst));
    }
    return writeStaged();
}

bool TraceRecorder::writeHeaderOpening(QXmlStreamWriter* writer) {
    if (writer->device() == nullptr)
        return false;
    writer->setAutoFormatting(true);
    writer->writeStartDocument(QStringLiteral("1.0"));
    writer->writeDTD(QStringLiteral("<!DOCTYPE LogData>"));
    writer->writeStartElement(kRootElement);
    return true;
}

bool TraceRecorder::writeHeaderClosing(QXmlStreamWriter* writer) {
    if (writer->device() == nullptr)
        return false;
    writer->writeEndElement();
    return true;
}

bool TraceRecorder::writeTelegram(QString telegram, QXmlStreamWriter* writer) {
    // Checked first: a half-copied telegram would leave the file unreadable.
    QXmlStreamReader reader;
    if (!startTelegram(reader, telegram) ||
        !readTelegramTokens(reader, [](const QXmlStreamReader&) {}))
        return false;
    startTelegram(reader, telegram);
    readTelegramTokens(
        reader, [writer](const QXmlStreamReader& reader) { writer->writeCurrentToken(reader); });
    return true;
}

bool TraceRecorder::writeTelegrams(QString fileName, QList<QString> telegrams) {
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QXmlStreamWriter writer(&file);
    if (!writeHeaderOpening(&writer))
        return false;
    for (const QString& telegram : telegrams)
        writeTelegram(telegram, &writer);
    writeHeaderClosing(&writer);
    // The file buffers: a full disk shows only when the rest goes out.
    return !writer.hasError() && file.flush();
}

} // namespace ZyrCore::Tracing
