#ifndef ZYRCORE_TRACING_TRACEPATTERN_H
#define ZYRCORE_TRACING_TRACEPATTERN_H

#include "Tracing/zyrtracing_global.h"

#include <QString>

namespace ZyrCore::Tracing {

// Telegrams nest three or four elements deep. Deeper input is refused: the indentation that an
// auto-formatting writer adds grows with the square of the depth.
constexpr int maxTelegramDepth = 16;

// The trace pattern of a telegram text: its first token after the document start must be a
// Telegram element whose Trace attribute is a hexadecimal number. False in every other case.
ZYRTRACING_EXPORT bool tryGetTracePattern(const QString& telegram, unsigned int* pattern);

} // namespace ZyrCore::Tracing

#endif // ZYRCORE_TRACING_TRACEPATTERN_H
