#ifndef ZYRCORE_TRACING_TRACERECORDER_H
#define ZYRCORE_TRACING_TRACERECORDER_H

#include "Tracing/itracesink.h"
#include "Tracing/zyrtracing_global.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QList>
#include <QObject>
#include <QString>
#include <QXmlStreamWriter>

namespace ZyrCore::Tracing {

// Writes the accepted telegrams into an XML trace file: the declaration, "<!DOCTYPE LogData>",
// a LogData element holding one Telegram element per accepted telegram, in the order traced.
// A telegram is accepted when its Trace pattern shares a set bit with the filter; only whole,
// well-formed telegrams are written. The file is flushed after each telegram, so a file whose
// recorder never closed still holds every recorded telegram whole and lacks only the end of
// LogData.
class ZYRTRACING_EXPORT TraceRecorder : public QObject, public ITraceSink {
    Q_OBJECT
public:
    explicit TraceRecorder(QObject* parent = nullptr);
    ~TraceRecorder() override;

    // False while a file is open or when the file cannot be created.
    bool open(QString fileName);
    // Ends LogData and closes the file; false when no file was open.
    bool close();
    bool isOpen() const;
    bool flush();

    // Enabling needs an open file. Setting the current value again changes nothing.
    bool setEnabled(bool enabled);
    bool isEnabled() const { return itsEnabled; }

    void setFilter(unsigned int pattern);
    unsigned int filter() const { return itsFilter; }
    bool matchFilter(QString telegram) const;

    // False unless recording; true whether or not the telegram was accepted.
    bool trace(QString telegram) override;

    static bool writeHeaderOpening(QXmlStreamWriter* writer);
    static bool writeHeaderClosing(QXmlStreamWriter* writer);
    // Copies a whole, well-formed Telegram element into the writer, leaving out the document
    // start and end and whitespace-only text. Anything else writes nothing and gives false.
    static bool writeTelegram(QString telegram, QXmlStreamWriter* writer);
    // A complete trace file of the given telegrams, independent of the recorder's own file.
    bool writeTelegrams(QString fileName, QList<QString> telegrams);

signals:
    void enabledChanged(bool enabled);
    void filterChanged(unsigned int pattern);

private:
    // Writes what the writer staged to the file in one piece and flushes it.
    bool commitStage();

    unsigned int itsFilter = 0xFFFFFFFF;
    bool itsEnabled = false;
    QFile itsFile;
    // The writer writes to memory; each telegram reaches the file whole, in one write.
    QByteArray itsStagedBytes;
    QBuffer itsStage;
    QXmlStreamWriter itsWriter;
};

} // namespace ZyrCore::Tracing

#endif // ZYRCORE_TRACING_TRACERECORDER_H
