#ifndef ZYRCORE_TRACING_GUARDEDTRACEFILE_H
#define ZYRCORE_TRACING_GUARDEDTRACEFILE_H

#include "Tracing/tracefileoutline.h"
#include "Tracing/zyrtracing_global.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QTextDecoder>

#include <memory>

class QFile;

namespace ZyrCore::Tracing {

// A trace file's bytes as far as its outline (tracefileoutline.h) lets an XML reader have them.
// The file is read in pieces; each piece is decoded as the reader will decode it and outlined
// before the reader gets it, so the reader's input ends right before the first refused
// construct, and memory stays at a few pieces whatever the file's size. The reader may already
// hold the start of a refused construct that began in an earlier piece: it then meets the end of
// its input inside that construct.
class ZYRTRACING_EXPORT GuardedTraceFile : public QIODevice {
    Q_OBJECT
public:
    explicit GuardedTraceFile(QObject* parent = nullptr);
    ~GuardedTraceFile() override;

    // Starts over from the beginning of the file, which must be open for reading.
    void restart(QFile* file);
    // Forgets the file.
    void release();

    // The whole file was read, decoded and passed on, and it lacks nothing but the end of its
    // root element: a recording that was never closed.
    bool onlyRootEndMissing() const;

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 maxSize) override;

private:
    // Reads, decodes and outlines the next piece; false when nothing more is passed on.
    bool readPiece();
    // The first bytes of the file, enough to find its codec.
    QByteArray readHead();

    QFile* itsFile = nullptr;
    QByteArray itsPiece;
    int itsPieceRead = 0; // bytes of the piece the reader has had
    std::unique_ptr<QTextDecoder> itsDecoder;
    // Fed only what was passed on: its state is the reader's, to find where a refused construct
    // starts in the bytes.
    std::unique_ptr<QTextDecoder> itsPassedDecoder;
    TraceFileOutline itsOutline;
    bool itsStopped = false;          // nothing more is read
    bool itsFileEnded = false;        // the file was read to its end
    bool itsEndedInCharacter = false; // ... and its last bytes began a character
};

} // namespace ZyrCore::Tracing

#endif // ZYRCORE_TRACING_GUARDEDTRACEFILE_H
