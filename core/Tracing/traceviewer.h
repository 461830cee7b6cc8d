#ifndef ZYRCORE_TRACING_TRACEVIEWER_H
#define ZYRCORE_TRACING_TRACEVIEWER_H

#include "Communication/commandinfo.h"
#include "Tracing/itracesink.h"
#include "Tracing/tracemetatypes.h"
#include "Tracing/zyrtracing_global.h"

#include <QList>
#include <QObject>
#include <QString>

namespace ZyrCore::Tracing {

using ZyrCore::Communication::CommandInfo;

// Keeps the most recent accepted telegrams as CommandInfo records, oldest first, for display.
// A telegram is accepted when its Trace pattern shares a bit with the filter and none with the
// negative filter. When the list is full, the clear amount of oldest records makes room.
class ZYRTRACING_EXPORT TraceViewer : public QObject, public ITraceSink {
    Q_OBJECT
public:
    explicit TraceViewer(QObject* parent = nullptr);
    ~TraceViewer() override;

    void setFilter(unsigned int pattern);
    unsigned int filter() const { return itsFilter; }
    void setNegativeFilter(unsigned int pattern);
    unsigned int negativeFilter() const { return itsNegativeFilter; }
    bool setEnabled(bool enabled);
    bool isEnabled() const { return itsEnabled; }

    // Still owned by the viewer.
    QList<CommandInfo*>* getTracedProperties() { return &itsTracedCommands; }

    // False also for text that tryGetTracePattern refuses.
    bool matchFilter(QString telegram) const;
    // False for the request half of a request-and-response exchange: its response shows both.
    static bool filterAndTransform(CommandInfo* commandInfo);

    // False only while disabled. Text the registry cannot read is dropped.
    bool trace(QString telegram) override;

    void clear();
    void setMaxCommandCount(int maxCommandCount, int clearAmount);
    int maxCommandCount() const { return itsMaxCommandCount; }
    int clearAmount() const { return itsClearAmount; }

    // Copies owned by the caller; a negative count takes all to the end.
    QList<CommandInfo*> exportCommands(int position, int count) const;

signals:
    void telegramTraced(CommandInfo* commandInfo);
    void commandsDeleted(int position, int count);
    void enabledChanged(bool enabled);
    void filterChanged(unsigned int pattern);

private:
    unsigned int itsFilter = 0xFFFFFFFF;
    unsigned int itsNegativeFilter = 0;
    bool itsEnabled = true;
    QList<CommandInfo*> itsTracedCommands;
    int itsMaxCommandCount = 10000;
    int itsClearAmount = 1;
};

} // namespace ZyrCore::Tracing

#endif // ZYRCORE_TRACING_TRACEVIEWER_H
