#include "Tracing/tracemetatypes.h"

namespace ZyrCore::Tracing {

void registerTraceMetaTypes() {
    static const bool registered = [] {
        qRegisterMetaType<ZyrCore::Communication::CommandInfo*>("CommandInfo*");
        qRegisterMetaType<QList<ZyrCore::Communication::CommandInfo*>>("QList<CommandInfo*>");
        return true;
    }();
    Q_UNUSED(registered)
}

} // namespace ZyrCore::Tracing
