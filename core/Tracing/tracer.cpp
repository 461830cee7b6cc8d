#include "Tracing/tracer.h"

namespace ZyrCore::Tracing {

Tracer::Tracer(QObject* parent)
    : QObject(parent)
    , itsRecorder(this)
    , itsViewer(this)
    , itsPlayer(this, nullptr)
    , itsProgrammer(this) {
    itsProgrammer.setRecorder(&itsRecorder);
    itsProgrammer.setPlayer(&itsPlayer);
}

Tracer::~Tracer() = default;

void Tracer::setComExecutor(ZyrCore::Communication::IComExecutor* executor) {
    itsPlayer.setComExecutor(executor);
}

bool Tracer::trace(QString telegram) {
    const bool recorded = itsRecorder.trace(telegram);
    const bool viewed = itsViewer.trace(telegram);
    return recorded && viewed;
}

} // namespace ZyrCore::Tracing
