#ifndef ZYRCORE_TRACING_TRACERECORDER_H
#define ZYRCORE_TRACING_TRACERECORDER_H

#include "Tracing/itracesink.h"
#include "Tracing/zyrtracing_global.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QObject>
#include <QString>
#include <QXmlStreamWriter>

#include <memory>

namespace ZyrCore::Tracing {

class TraceFileLayout;

// Writes the accepted telegrams into an XML trace file: the declaration, "<!DOCTYPE LogData>",
// a LogData element holding one Telegram element per accepted telegram, in the order traced.
// A telegram is accepted when its Trace pattern shares a set bit with the filter; only whole,
// well-formed telegrams are written, copied token by token without blank text so that the
// writer's auto-formatting lays them out, each in one write of its own. So a file whose recorder
// never closed still holds every recorded telegram whole and lacks only the end of LogData.
// A telegram is written only in a form every reading of the file takes back whole: one over a
// limit of markup (Tools/markupoutline.h), as given or as laid out, is not written and trace
// reports false; the telegrams after it are recorded as before. The first write that fails (a
// full disk) is reported by false from trace, close or open; the piece is cut off again and the
// recorder writes nothing more until reopened.
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

    // False unless recording, when the accepted telegram cannot be written whole, or when writing
    // it failed; true whether or not the telegram was accepted.
    bool trace(QString telegram) override;

    static bool writeHeaderOpening(QXmlStreamWriter* writer);
    static bool writeHeaderClosing(QXmlStreamWriter* writer);
    // Copies a whole, well-formed Telegram element into the writer, leaving out the document
    // start and end and whitespace-only text. Anything else, and a telegram over a limit of
    // markup as given or as the writer lays it out, writes nothing and gives false.
    static bool writeTelegram(QString telegram, QXmlStreamWriter* writer);
    // A complete trace file of the given telegrams, independent of the recorder's own file. Texts
    // that are no whole telegram are left out; false also when a telegram could not be written
    // whole, which is left out as well.
    bool writeTelegrams(QString fileName, QList<QString> telegrams);

signals:
    void enabledChanged(bool enabled);
    void filterChanged(unsigned int pattern);

private:
    // Writes the bytes in one piece; on failure cuts off what went out and stops the recorder.
    bool writeWhole(const QByteArray& bytes);
    // Writes what was laid out since the last call, in one piece.
    bool writeStaged();

    unsigned int itsFilter = 0xFFFFFFFF;
    bool itsEnabled = false;
    QFile itsFile;
    bool itsWriteFailed = false;
    // Lays the file out in memory: each telegram reaches the file whole, in one write.
    std::unique_ptr<TraceFileLayout> itsLayout;
};

} // namespace ZyrCore::Tracing

#endif // ZYRCORE_TRACING_TRACERECORDER_H
