#include "Tracing/guardedtracefile.h"

#include <QFile>
#include <QTextCodec>

#include <cstring>

namespace ZyrCore::Tracing {

namespace {

constexpr int kPieceSize = 64 * 1024;
static_assert(kPieceSize >= maxTraceFileDeclarationSize, "the first piece holds the declaration");

// Whether a decoder that has had all of a file holds the start of a character. Qt's UTF-8 decoder
// says so, others hold it silently; a line break then decodes otherwise than alone, as no
// character of an encoding taken here goes on with that byte.
bool holdsPartialCharacter(QTextDecoder* decoder) {
    return decoder->needsMoreData() || decoder->toUnicode("\n", 1) != QLatin1String("\n");
}

} // namespace

GuardedTraceFile::GuardedTraceFile(QObject* parent)
    : QIODevice(parent) {}

GuardedTraceFile::~GuardedTraceFile() = default;

void GuardedTraceFile::restart(QFile* file) {
    release();
    itsFile = file;
    itsFile->seek(0);
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

void GuardedTraceFile::release() {
    if (isOpen())
        close();
    itsFile = nullptr;
    itsPiece.clear();
    itsPieceRead = 0;
    itsDecoder.reset();
    itsPassedDecoder.reset();
    itsOutline = TraceFileOutline();
    itsStopped = false;
    itsFileEnded = false;
    itsEndedInCharacter = false;
}

bool GuardedTraceFile::onlyRootEndMissing() const {
    return itsFileEnded && !itsEndedInCharacter && itsOutline.onlyRootEndMissing();
}

qint64 GuardedTraceFile::readData(char* data, qint64 maxSize) {
    qint64 copied = 0;
    while (copied < maxSize) {
        if (itsPieceRead == itsPiece.size()) {
            if (!readPiece())
                break;
            continue;
        }
        const qint64 count = qMin<qint64>(maxSize - copied, itsPiece.size() - itsPieceRead);
        std::memcpy(data + copied, itsPiece.constData() + itsPieceRead, size_t(count));
        itsPieceRead += int(count);
        copied += count;
    }
    return copied;
}

qint64 GuardedTraceFile::writeData(const char*, qint64) {
    return -1;
}

QByteArray GuardedTraceFile::readHead() {
    QByteArray head;
    while (head.size() < kPieceSize) {
        const QByteArray more = itsFile->read(kPieceSize - head.size());
        if (more.isEmpty())
            break;
        head += more;
    }
    return head;
}

bool GuardedTraceFile::readPiece() {
    itsPiece.clear();
    itsPieceRead = 0;
    if (itsStopped || itsFile == nullptr)
        return false;
    if (itsDecoder == nullptr) {
        itsPiece = readHead();
        QTextCodec* const codec = traceFileCodec(itsPiece);
        if (codec == nullptr) {
            // The reader would decode the file in a way the outline does not follow: it gets
            // nothing.
            itsPiece.clear();
            itsStopped = true;
            return false;
        }
        // Every U+FEFF is kept, a byte-order mark included, for the outline to see: the reader's
        // decoder drops some of them, depending on where its reads begin.
        itsDecoder.reset(codec->makeDecoder(QTextCodec::IgnoreHeader));
        itsPassedDecoder.reset(codec->makeDecoder(QTextCodec::IgnoreHeader));
    } else {
        itsPiece = itsFile->read(kPieceSize);
    }
    if (itsPiece.isEmpty()) {
        itsStopped = true;
        itsFileEnded = itsFile->error() == QFileDevice::NoError && itsFile->atEnd();
        itsEndedInCharacter = itsFileEnded && holdsPartialCharacter(itsDecoder.get());
        return false;
    }

    const QString characters = itsDecoder->toUnicode(itsPiece.constData(), itsPiece.size());
    const int refusedAt = itsOutline.read(characters.constData(), characters.size());
    if (refusedAt < 0) {
        itsPassedDecoder->toUnicode(itsPiece.constData(), itsPiece.size());
        return true;
    }
    // Pass on the bytes whose characters come before the refused construct, and no more. Fed
    // byte by byte, a decoder may count the replacements for malformed bytes otherwise than fed
    // the whole piece (the reader refuses such bytes after the declaration): the bytes passed end
    // where the two part.
    itsStopped = true;
    int passed = 0;
    for (int decoded = 0; passed < itsPiece.size(); ++passed) {
        const QString more = itsPassedDecoder->toUnicode(itsPiece.constData() + passed, 1);
        if (decoded + more.size() > refusedAt ||
            QStringView(characters).mid(decoded, more.size()) != more)
            break;
        decoded += more.size();
    }
    itsPiece.truncate(passed);
    return !itsPiece.isEmpty();
}

} // namespace ZyrCore::Tracing
