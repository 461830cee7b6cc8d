#include "Tracing/tracerecorder.h"

#include "Tracing/tracepattern.h"

#include <QXmlStreamReader>

namespace ZyrCore::Tracing {

namespace {

const QString kRootElement = QStringLiteral("LogData");

bool isCopied(const QXmlStreamReader& reader) {
    switch (reader.tokenType()) {
    case QXmlStreamReader::StartDocument:
    case QXmlStreamReader::EndDocument:
    case QXmlStreamReader::Invalid:
    case QXmlStreamReader::NoToken:
        return false;
    case QXmlStreamReader::Characters:
        return !reader.isWhitespace();
    default:
        return true;
    }
}

// One Telegram element and nothing around it but whitespace, with no reader error.
bool isWholeTelegram(const QString& telegram) {
    QXmlStreamReader reader(telegram);
    bool seenElement = false;
    int depth = 0;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isDTD())
            return false;
        if (reader.isEndElement())
            --depth;
        if (reader.isStartElement() && ++depth > maxTelegramDepth)
            return false;
        if (reader.isStartElement() && !seenElement) {
            if (reader.name() != QLatin1String("Telegram"))
                return false;
            seenElement = true;
        }
    }
    return seenElement && !reader.hasError();
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
    if (!itsFile.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    itsWriter.setDevice(&itsFile);
    itsWriter.setAutoFormatting(true);
    if (!writeHeaderOpening(&itsWriter))
        return false;
    itsFile.flush();
    setEnabled(true);
    return true;
}

bool TraceRecorder::close() {
    if (itsWriter.device() != nullptr) {
        setEnabled(false);
        writeHeaderClosing(&itsWriter);
        itsWriter.setDevice(nullptr);
    }
    if (itsEnabled) {
        itsEnabled = false;
        emit enabledChanged(false);
    }
    if (!itsFile.isOpen())
        return false;
    itsFile.close();
    return true;
}

bool TraceRecorder::isOpen() const {
    return itsFile.isOpen();
}

bool TraceRecorder::flush() {
    return itsFile.flush();
}

bool TraceRecorder::setEnabled(bool enabled) {
    if (enabled == itsEnabled)
        return true;
    if (enabled && (!itsFile.isOpen() || itsWriter.device() == nullptr))
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
    if (!itsFile.isOpen() || itsWriter.device() == nullptr || !itsEnabled)
        return false;
    if (matchFilter(telegram) && writeTelegram(telegram, &itsWriter))
        itsFile.flush();
    return true;
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
    if (!isWholeTelegram(telegram))
        return false;
    QXmlStreamReader reader(telegram);
    while (!reader.atEnd()) {
        reader.readNext();
        if (isCopied(reader))
            writer->writeCurrentToken(reader);
    }
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
    return !writer.hasError();
}

} // namespace ZyrCore::Tracing
