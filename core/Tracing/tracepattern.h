#ifndef ZYRCORE_TRACING_TRACEPATTERN_H
#define ZYRCORE_TRACING_TRACEPATTERN_H

#include "Tracing/zyrtracing_global.h"

#include <QString>

namespace ZyrCore::Tracing {

// The trace pattern of a telegram text: its first token after the document start must be a
// Telegram element whose Trace attribute is a hexadecimal number. False in every other case.
ZYRTRACING_EXPORT bool tryGetTracePattern(const QString& telegram, unsigned int* pattern);

} // namespace ZyrCore::Tracing

#endif // ZYRCORE_TRACING_TRACEPATTERN_H
