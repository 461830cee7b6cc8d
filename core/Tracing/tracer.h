#ifndef ZYRCORE_TRACING_TRACER_H
#define ZYRCORE_TRACING_TRACER_H

#include "Tracing/itracesink.h"
#include "Tracing/traceplayer.h"
#include "Tracing/traceprogrammer.h"
#include "Tracing/tracerecorder.h"
#include "Tracing/traceviewer.h"
#include "Tracing/zyrtracing_global.h"

#include <QObject>

namespace ZyrCore::Communication {
class IComExecutor;
}

namespace ZyrCore::Tracing {

// The trace sink a stream is given: feeds every telegram to its recorder and its viewer, and
// holds the player and the programmer that replay and edit recorded traffic.
class ZYRTRACING_EXPORT Tracer : public QObject, public ITraceSink {
    Q_OBJECT
public:
    explicit Tracer(QObject* parent = nullptr);
    ~Tracer() override;

    TraceRecorder* recorder() { return &itsRecorder; }
    TraceViewer* viewer() { return &itsViewer; }
    TracePlayer* player() { return &itsPlayer; }
    TraceProgrammer* programmer() { return &itsProgrammer; }

    void setComExecutor(ZyrCore::Communication::IComExecutor* executor);
    // Both members always see the telegram; true when both took it.
    bool trace(QString telegram) override;

private:
    // Members are destroyed in reverse: programmer, player, viewer, recorder.
    TraceRecorder itsRecorder;
    TraceViewer itsViewer;
    TracePlayer itsPlayer;
    TraceProgrammer itsProgrammer;
};

} // namespace ZyrCore::Tracing

#endif // ZYRCORE_TRACING_TRACER_H
