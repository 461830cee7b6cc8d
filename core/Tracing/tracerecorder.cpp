#include "Tracing/tracerecorder.h"

#include "Tracing/tracefilelayout.h"

#include <QXmlStreamReader>

namespace ZyrCore::Tracing {

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
    itsLayout = std::make_unique<TraceFileLayout>();
    if (!writeWhole(TraceFileLayout::header())) {
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
        itsLayout->endRoot();
        ended = writeStaged();
    }
    itsFile.close();
    return ended;
}

bool TraceRecorder::writeStaged() {
    return writeWhole(itsLayout->takeUtf8());
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
    return TraceFileLayout::tryGetPattern(telegram, &pattern) && (pattern & itsFilter) != 0;
}

bool TraceRecorder::trace(QString telegram) {
    if (!itsFile.isOpen() || itsWriteFailed || !itsEnabled)
        return false;
    switch (itsLayout->add(telegram, &itsFilter)) {
    case TraceFileLayout::Outcome::Added:
        return writeStaged();
    case TraceFileLayout::Outcome::Left:
        return true;
    case TraceFileLayout::Outcome::Refused:
        break;
    }
    return false;
}

bool TraceRecorder::writeHeaderOpening(QXmlStreamWriter* writer) {
    if (writer->device() == nullptr)
        return false;
    writer->setAutoFormatting(true);
    writer->writeStartDocument(QStringLiteral("1.0"));
    writer->writeDTD(QStringLiteral("<!DOCTYPE LogData>"));
    writer->writeStartElement(QStringLiteral("LogData"));
    return true;
}

bool TraceRecorder::writeHeaderClosing(QXmlStreamWriter* writer) {
    if (writer->device() == nullptr)
        return false;
    writer->writeEndElement();
    return true;
}

bool TraceRecorder::writeTelegram(QString telegram, QXmlStreamWriter* writer) {
    return TraceFileLayout().write(telegram, writer) == TraceFileLayout::Outcome::Added;
}

bool TraceRecorder::writeTelegrams(QString fileName, QList<QString> telegrams) {
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QXmlStreamWriter writer(&file);
    if (!writeHeaderOpening(&writer))
        return false;
    bool whole = true;
    TraceFileLayout layout;
    for (const QString& telegram : telegrams)
        whole = layout.write(telegram, &writer) != TraceFileLayout::Outcome::Refused && whole;
    writeHeaderClosing(&writer);
    // The file buffers: a full disk shows only when the rest goes out.
    return !writer.hasError() && file.flush() && whole;
}

} // namespace ZyrCore::Tracing
