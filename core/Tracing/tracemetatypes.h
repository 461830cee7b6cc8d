#ifndef ZYRCORE_TRACING_TRACEMETATYPES_H
#define ZYRCORE_TRACING_TRACEMETATYPES_H

#include "Communication/commandinfo.h"
#include "Tracing/zyrtracing_global.h"

#include <QList>
#include <QMetaType>

Q_DECLARE_METATYPE(ZyrCore::Communication::CommandInfo*)

namespace ZyrCore::Tracing {

// Registers the record types of the tracing signals under the names those signals spell, so
// that queued connections and signal spies can carry them.
ZYRTRACING_EXPORT void registerTraceMetaTypes();

} // namespace ZyrCore::Tracing

#endif // ZYRCORE_TRACING_TRACEMETATYPES_H
