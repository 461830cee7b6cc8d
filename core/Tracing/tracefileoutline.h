#ifndef ZYRCORE_TRACING_TRACEFILEOUTLINE_H
#define ZYRCORE_TRACING_TRACEFILEOUTLINE_H

#include "Tools/markupoutline.h"
#include "Tracing/tracepattern.h"
#include "Tracing/zyrtracing_global.h"

#include <QByteArray>

class QTextCodec;

namespace ZyrCore::Tracing {

// An element with more attributes is refused before an XML reader sees it.
using ZyrCore::Tools::maxElementAttributes;

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
// file's size (Tools/markupoutline.h): an element with more than maxElementAttributes attributes,
// nesting deeper than maxTraceFileDepth, a name, namespace name, attribute value, comment,
// processing instruction, CDATA section, run of text or document type over its length limit, a
// document type with an internal subset, any other markup declaration, a NUL character, a
// zero-width no-break space (U+FEFF) other than a byte-order mark at the start, or a surrogate
// that is not half of a pair. Everything before that construct reads as the reader reads it.
class ZYRTRACING_EXPORT TraceFileOutline {
public:
    // Reads the next length code units. The offset within them of the first one of the first
    // refused construct (where a construct began in an earlier piece: 0), or -1 when all of them
    // may be read. Nothing is read after a refusal.
    int read(const QChar* characters, int length);
    // After the last piece: every construct is complete, and only the end tag of the root element
    // (and blanks) is missing, as in a recording that was never closed.
    bool onlyRootEndMissing() const;

private:
    ZyrCore::Tools::MarkupOutline itsMarkup{maxTraceFileDepth};
};

} // namespace ZyrCore::Tracing

#endif // ZYRCORE_TRACING_TRACEFILEOUTLINE_H
