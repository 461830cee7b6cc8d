#include "Tracing/tracerecorder.h"

#include "Tracing/tracepattern.h"

#include <QVector>
#include <QXmlStreamReader>

namespace ZyrCore::Tracing {

namespace {

const QString kRootElement = QStringLiteral("LogData");

// One token of a telegram as the copy writes it again.
struct Token {
    QXmlStreamReader::TokenType type;
    QString name; // element name, or the text of characters and comments
    QXmlStreamAttributes attributes;
    bool isCData = false;
};

// A telegram read once: whether it is one whole, well-formed Telegram element from its first
// token on with nothing after it but whitespace, its Trace pattern, and the tokens to copy.
struct ReadTelegram {
    bool whole = false;
    bool hasPattern = false;
    unsigned int pattern = 0;
    // False when a token needs the reader itself to be copied (namespaces, instructions).
    bool replayable = true;
    QVector<Token> tokens;
};

// The reader is the caller's, reused: setting one up costs as much as a third of the reading.
ReadTelegram readTelegram(QXmlStreamReader& reader, const QString& telegram) {
    ReadTelegram result;
    reader.clear();
    reader.addData(telegram);
    if (reader.readNext() == QXmlStreamReader::StartDocument)
        reader.readNext();
    if (!reader.isStartElement() || reader.name() != QLatin1String("Telegram"))
        return result;
    result.pattern =
        reader.attributes().value(QLatin1String("Trace")).toUInt(&result.hasPattern, 16);
    int depth = 0;
    while (!reader.atEnd()) {
        switch (reader.tokenType()) {
        case QXmlStreamReader::DTD:
            return result;
        case QXmlStreamReader::StartElement:
            if (++depth > maxTelegramDepth)
                return result;
            result.replayable = result.replayable && reader.namespaceUri().isEmpty() &&
                                reader.namespaceDeclarations().isEmpty();
            result.tokens.append(
                {reader.tokenType(), reader.name().toString(), reader.attributes(), false});
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            result.tokens.append({reader.tokenType(), QString(), {}, false});
            break;
        case QXmlStreamReader::Characters:
            if (!reader.isWhitespace())
                result.tokens.append(
                    {reader.tokenType(), reader.text().toString(), {}, reader.isCDATA()});
            break;
        case QXmlStreamReader::Comment:
            result.tokens.append({reader.tokenType(), reader.text().toString(), {}, false});
            break;
        default:
            result.replayable = result.replayable && !isCopiedToken(reader);
            break;
        }
        reader.readNext();
    }
    result.whole = !reader.hasError();
    return result;
}

// Writes a telegram that readTelegram found whole.
void copyTelegram(const QString& telegram, const ReadTelegram& read, QXmlStreamWriter* writer) {
    if (!read.replayable) {
        QXmlStreamReader reader(telegram);
        while (!reader.atEnd()) {
            reader.readNext();
            if (isCopiedToken(reader))
                writer->writeCurrentToken(reader);
        }
        return;
    }
    // The same calls the writer makes for the reader's tokens, without reading them again.
    for (const Token& token : read.tokens) {
        switch (token.type) {
        case QXmlStreamReader::StartElement:
            writer->writeStartElement(token.name);
            writer->writeAttributes(token.attributes);
            break;
        case QXmlStreamReader::EndElement:
            writer->writeEndElement();
            break;
        case QXmlStreamReader::Characters:
            if (token.isCData)
                writer->writeCDATA(token.name);
            else
                writer->writeCharacters(token.name);
            break;
        default:
            writer->writeComment(token.name);
            break;
        }
    }
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
    itsStage.setBuffer(&itsStagedBytes);
    itsStage.open(QIODevice::WriteOnly | QIODevice::Truncate);
    itsWriter.setDevice(&itsStage);
    writeHeaderOpening(&itsWriter);
    // Ends the root's start tag at once, so that a file never closed parses up to its missing
    // end tag; the blanks are those auto-formatting puts before the first telegram.
    itsWriter.writeCharacters(QLatin1Char('\n') +
                              QString(itsWriter.autoFormattingIndent(), QLatin1Char(' ')));
    if (!writeStaged()) {
        releaseWriter();
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
        writeHeaderClosing(&itsWriter);
        ended = writeStaged();
    }
    releaseWriter();
    itsFile.close();
    return ended;
}

bool TraceRecorder::writeStaged() {
    const bool written = writeWhole(itsStagedBytes);
    itsStagedBytes.clear();
    itsStage.seek(0);
    return written;
}

void TraceRecorder::releaseWriter() {
    // Closes what a failed write left open, so the next file starts with a balanced writer.
    itsWriter.writeEndDocument();
    itsWriter.setDevice(nullptr);
    itsStage.close();
    itsStagedBytes.clear();
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
    // One reading decides whether the telegram is whole and whether the filter takes it.
    const ReadTelegram read = readTelegram(itsReader, telegram);
    if (!read.whole || !read.hasPattern || (read.pattern & itsFilter) == 0)
        return true;
    copyTelegram(telegram, read, &itsWriter);
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
    const ReadTelegram read = readTelegram(reader, telegram);
    if (!read.whole)
        return false;
    copyTelegram(telegram, read, writer);
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
