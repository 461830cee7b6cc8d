#ifndef ZYRCORE_TRACING_TRACEFILEOUTLINE_H
#define ZYRCORE_TRACING_TRACEFILEOUTLINE_H

#include "Tracing/tracepattern.h"
#include "Tracing/zyrtracing_global.h"

#include <QByteArray>
#include <QChar>

class QTextCodec;

namespace ZyrCore::Tracing {

// A Telegram element carries four attributes and a value element two. An element with more is
// refused before an XML reader sees it: the reader's cost grows with the square of one element's
// attributes.
constexpr int maxElementAttributes = 16;

// Telegrams stand right below the root. Deeper nesting is refused before an XML reader sees it:
// the reader looks a prefix up through the namespaces of every open element.
constexpr int maxTraceFileDepth = 1 + maxTelegramDepth;

// An XML declaration must end within the file's first bytes.
constexpr int maxTraceFileDeclarationSize = 1024;

// The codec a QXmlStreamReader decodes a trace file with, read off the file's first bytes (at
// least maxTraceFileDeclarationSize of them, or the whole file): UTF-8 or the encoding the XML
// declaration names. Null when the reader might decode the file otherwise than that codec does:
// a UTF-16 or UTF-32 start, a declaration outside the plain form
//   <?xml version="1.0" encoding="name" standalone="yes"?>
// (character references, repeated or unknown attributes), an encoding the reader does not know,
// or one in which the declaration's bytes read differently.
ZYRTRACING_EXPORT QTextCodec* traceFileCodec(const QByteArray& head);

// Follows the markup of a trace file's characters, as the XML reader decodes them, piece by piece,
// and finds the first construct that could make the reader's work or memory grow beyond the
// file's size: an element with more than maxElementAttributes attributes, nesting deeper than
// maxTraceFileDepth, a document type with an internal subset (whose entities and attribute
// defaults expand), any other markup declaration, a NUL character, or a zero-width no-break space
// (U+FEFF) other than a byte-order mark at the start. Everything before that construct reads as the
// reader reads it.
class ZYRTRACING_EXPORT TraceFileOutline {
public:
    // Reads the next length characters. The offset within them of the first character of the
    // first refused construct (where a construct began in an earlier piece: 0), or -1 when all of
    // them may be read. Nothing is read after a refusal.
    int read(const QChar* characters, int length);
    // After the last piece: every construct is complete, and only the end tag of the root element
    // (and blanks) is missing, as in a recording that was never closed.
    bool onlyRootEndMissing() const;

private:
    enum class State {
        Text,
        AfterLessThan,
        Declaration, // "<!", up to the keyword that says which
        Comment,
        CData,
        ProcessingInstruction,
        DocumentType,
        StartTag,
        EndTag,
    };

    // Refuses the construct that starts at itsConstructStart; the offset within this piece.
    int refuse(qint64 pieceStart);

    State itsState = State::Text;
    qint64 itsPosition = 0;       // characters read before this piece
    qint64 itsConstructStart = 0; // where the current markup's '<' stands
    int itsDepth = 0;
    int itsAttributes = 0;
    // Within a comment or CDATA section: the closing dashes or brackets seen in a row; within a
    // processing instruction: whether its body has begun; after "<!": the keyword's length.
    int itsRun = 0;
    char16_t itsQuote = 0;           // the quote of the literal being read, or 0
    char16_t itsLast = 0;            // the last character of the previous piece
    char16_t itsKeyword[8] = {};     // what follows "<!", up to seven characters
    bool itsTextAfterMarkup = false; // non-blank text since the last markup
    bool itsRefused = false;
};

} // namespace ZyrCore::Tracing

#endif // ZYRCORE_TRACING_TRACEFILEOUTLINE_H
