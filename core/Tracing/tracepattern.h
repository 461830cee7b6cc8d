#ifndef ZYRCORE_TRACING_TRACEPATTERN_H
#define ZYRCORE_TRACING_TRACEPATTERN_H

#include "Tools/markupoutline.h"
#include "Tracing/zyrtracing_global.h"

#include <QString>

class QXmlStreamReader;

namespace ZyrCore::Tracing {

// Deeper telegrams are refused.
using ZyrCore::Tools::maxTelegramDepth;

// The trace pattern of a telegram text: the text must stay within the command registry's limits
// of markup (TelegramContent::isWithinLimits), and its first token after the document start must
// be a Telegram element whose Trace attribute is a hexadecimal number. False in every other case.
ZYRTRACING_EXPORT bool tryGetTracePattern(const QString& telegram, unsigned int* pattern);

// The Trace pattern of the Telegram start tag the reader stands on, the reader reading the text
// as it is. False when it stands on no Telegram start tag, or one whose Trace attribute is missing
// or no hexadecimal number.
bool tryGetStartTagPattern(const QXmlStreamReader& reader, unsigned int* pattern);

// Reads a text's first token after the document start, where a telegram's start tag stands.
void readFirstToken(QXmlStreamReader* reader);

// Whether the token the reader stands on belongs in a copy of a telegram: everything but the
// document's start and end, blank text, and the states before the first token or after an error.
ZYRTRACING_EXPORT bool isCopiedToken(const QXmlStreamReader& reader);

} // namespace ZyrCore::Tracing

#endif // ZYRCORE_TRACING_TRACEPATTERN_H
