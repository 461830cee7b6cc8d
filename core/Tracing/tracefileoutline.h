#ifndef ZYRCORE_TRACING_TRACEFILEOUTLINE_H
#define ZYRCORE_TRACING_TRACEFILEOUTLINE_H

#include "Tracing/tracepattern.h"
#include "Tracing/zyrtracing_global.h"

#include <QByteArray>

namespace ZyrCore::Tracing {

// A Telegram element carries four attributes and a value element two. An element with more, or a
// document type declaring more, is refused before an XML reader sees it: the reader's cost grows
// with the square of one element's attributes and with every attribute the declaration adds.
constexpr int maxElementAttributes = 16;

// Telegrams stand right below the root. Deeper nesting is refused before an XML reader sees it:
// the reader looks a prefix up through the namespaces of every open element.
constexpr int maxTraceFileDepth = 1 + maxTelegramDepth;

// What one cheap pass over the markup of a trace file's bytes finds, before an XML reader parses
// them. The bytes must be in an encoding whose markup is ASCII (UTF-8, as the recorder writes):
// text that declares another one is not read at all, and reading stops at a NUL byte, which no
// such text holds (but UTF-16 does).
struct ZYRTRACING_EXPORT TraceFileOutline {
    // How many leading bytes a reader may parse: all of them, or those before the first NUL byte,
    // the first element over the attribute or depth limit, the attribute-list declaration that
    // passes the attribute limit, or the first entity declaration holding '<' or '&'.
    int readableSize = 0;
    // Every construct is complete and only the end tag of the root element (and whitespace)
    // is missing: a recording that was never closed.
    bool onlyRootEndMissing = false;
};

ZYRTRACING_EXPORT TraceFileOutline outlineTraceFile(const QByteArray& text);

} // namespace ZyrCore::Tracing

#endif // ZYRCORE_TRACING_TRACEFILEOUTLINE_H
