#ifndef ZYRCORE_TRACING_TRACEPLAYER_H
#define ZYRCORE_TRACING_TRACEPLAYER_H

#include "Tools/delegate.h"
#include "Tracing/guardedtracefile.h"
#include "Tracing/zyrtracing_global.h"

#include <QFile>
#include <QList>
#include <QObject>
#include <QString>
#include <QXmlStreamReader>

#include <functional>

namespace ZyrCore::Communication {
class IComExecutor;
class IComObject;
} // namespace ZyrCore::Communication

namespace ZyrCore::Tracing {

// Replays trace files: turns each telegram back into a com object through the command registry
// and sends the requests again through an executor, normally a framed stream. Response
// telegrams are skipped. A reader error in the file ends playing.
//
// A file is read in pieces, each outlined (tracefileoutline.h) before the XML reader parses it:
// the reader never sees an element over the attribute or depth limit nor a document type with an
// internal subset, and a file that breaks off counts as a recording that was never closed only
// when nothing but the root's end tag is missing. Playing holds the reader's current token and
// one telegram at a time, copied into a text that adds only layout to the telegram: memory grows
// with the largest of them, not with the file. An element outside the telegrams that binds a
// namespace ends reading: each telegram's text is read alone and would carry the name again.
class ZYRTRACING_EXPORT TracePlayer : public QObject {
    Q_OBJECT
public:
    // The executor must outlive the requests played onto it that still wait for their replies:
    // the destructor has the stream read those replies before it deletes the requests.
    explicit TracePlayer(QObject* parent = nullptr,
                         ZyrCore::Communication::IComExecutor* executor = nullptr);
    ~TracePlayer() override;

    // Requests played onto the former executor that still wait for their replies are read first.
    void setComExecutor(ZyrCore::Communication::IComExecutor* executor);
    ZyrCore::Communication::IComExecutor* comExecutor() const { return itsComExecutor; }

    // False when a file is open, it cannot be read or is no regular file (a device, a pipe), or
    // its declaration is not version 1.0; in the last case the file stays open.
    bool open(QString fileName);
    void close();
    bool reset();
    bool isOpen() const;
    // At the end of the document, or past the last whole telegram of a file that lacks only
    // the end of its root element (a recording that was never closed).
    bool isEndOfFile() const;
    QString fileName() const;

    static bool checkFileHeader(QFile* file, QXmlStreamReader* reader);
    // Appends the next Telegram element to text and leaves the reader on the following one. What
    // stands between telegrams is not copied. False at the end of the input, for a telegram the
    // input breaks off in or garbles, and at an element outside the telegrams that binds a
    // namespace.
    static bool findNextTelegram(QString* text, QXmlStreamReader* reader);
    static ZyrCore::Communication::IComObject* tryCreateObject(QString telegram);

    bool playSingleTelegram(QString telegram);
    // notPlayed, when given, stays true unless a request went out.
    bool playNext(bool* notPlayed = nullptr);
    bool playToEnd();

    // Every telegram of a whole file, independent of the player's own file; false for a file
    // that cannot be read, is no regular file, fails the header check or is corrupt. Only blanks,
    // comments and processing instructions may follow a telegram before the next one; they are
    // part of no telegram's text.
    bool readTelegrams(QString fileName, QList<QString>* telegrams);
    // The same reading without copying telegram texts: visit is called with the reader on each
    // Telegram start element, in file order, and reads that telegram up to its end element, or
    // returns false to end the reading with false. As in the copied texts, only blanks, comments
    // and processing instructions may follow a telegram before the next one.
    bool visitTelegrams(QString fileName, const std::function<bool(QXmlStreamReader*)>& visit);

    // Called with "QList<ZyrCore::Communication::IComObject*>*" once no reply is outstanding.
    ZyrCore::Tools::Delegate resultDelegate;

signals:
    void playedSingleTelegram(bool succeeded);
    void playedNext(bool succeeded);
    void playedToEnd(bool succeeded);

private:
    // What a step meets in the file: a telegram (found, or found and not played), the end of
    // the input, or a telegram the input breaks off in or garbles, which ends reading.
    enum class Step { Telegram, Unplayable, End, Broken };

    // Appends the next telegram to text: Telegram, End or Broken.
    static Step findTelegram(QString* text, QXmlStreamReader* reader);
    void readPendingReplies();
    bool playNextInternal(bool* notPlayed);
    bool play(const QString& telegram, bool flush, bool* notPlayed);
    void releasePendingResults();

    QXmlStreamReader itsReader;
    QFile itsFile;
    GuardedTraceFile itsText; // the file's bytes as the reader may parse them
    ZyrCore::Communication::IComExecutor* itsComExecutor;
    QList<ZyrCore::Communication::IComObject*> itsPendingResults;
    Step itsLastStep = Step::Telegram; // Broken stays until the file is read anew
};

} // namespace ZyrCore::Tracing

#endif // ZYRCORE_TRACING_TRACEPLAYER_H
