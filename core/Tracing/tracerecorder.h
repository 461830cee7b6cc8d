#ifndef ZYRCORE_TRACING_TRACERECORDER_H
#define ZYRCORE_TRACING_TRACERECORDER_H

#include "Tracing/itracesink.h"
#include "Tracing/telegramlayout.h"
#include "Tracing/zyrtracing_global.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QObject>
#include <QString>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <memory>

namespace ZyrCore::Tracing {

// Writes the accepted telegrams into an XML trace file: the declaration, "<!DOCTYPE LogData>",
// a LogData element holding one Telegram element per accepted telegram, in the order traced.
// A telegram is accepted when its Trace pattern shares a set bit with the filter; only whole,
// well-formed telegrams are written, copied token by token without blank text so that the
// writer's auto-formatting lays them out, each in one write of its own. So a file whose recorder
// never closed still holds every recorded telegram whole and lacks only the end of LogData. The
// first write that fails (a full disk) is reported by false from trace, close or open; the piece is
// cut off again and the recorder writes nothing more until reopened.
class ZYRTRACING_EXPORT TraceRecorder : public QObject, public ITraceSink {
    Q_OBJECT
public:
    explicit TraceRecorder(QObject* parent = nullptr);
    ~TraceRecorder() override;

    // False while a file is open or when the file cannot be created.
    bool open(QString fileName);
    // Ends LogData and closes the file; false when no file was open or it could not be written.
    bool close();
    bool isOpen() const;
    bool flush();

    // Enabling needs an open file that could be written. Setting the current value again changes
    // nothing.
    bool setEnabled(bool enabled);
    bool isEnabled() const { return itsEnabled; }

    void setFilter(unsigned int pattern);
    unsigned int filter() const { return itsFilter; }
    bool matchFilter(QString telegram) const;

    // False unless recording, or when writing the accepted telegram failed; true whether or not
    // the telegram was accepted.
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
    // Writes the bytes in one piece; on failure cuts off what went out and stops the recorder.
    bool writeWhole(const QByteArray& bytes);
    // Writes what the writer laid out since the last call, in one piece.
    bool writeStaged();
    // A whole telegram the layout does not take, as the file's writer lays it out next.
    QString laidOutByWriter(const QString& telegram, bool isFirst);

    unsigned int itsFilter = 0xFFFFFFFF;
    bool itsEnabled = false;
    QFile itsFile;
    bool itsWriteFailed = false;
    // Reads each telegram once, while it is copied.
    QXmlStreamReader itsReader;
    // Lays the file out in memory: each telegram reaches the file whole, in one write.
    TelegramLayout itsLayout;
    // Lays out the telegrams the layout does not take. One writer serves the whole recording: it
    // numbers the namespace prefixes it makes up across telegrams, as a writer of the whole file
    // does.
    std::unique_ptr<QXmlStreamWriter> itsFallbackWriter;
    QString itsFallbackText;
};

} // namespace ZyrCore::Tracing

#endif // ZYRCORE_TRACING_TRACERECORDER_H
