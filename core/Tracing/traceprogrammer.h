#ifndef ZYRCORE_TRACING_TRACEPROGRAMMER_H
#define ZYRCORE_TRACING_TRACEPROGRAMMER_H

#include "Communication/commandinfo.h"
#include "Tracing/tracemetatypes.h"
#include "Tracing/zyrtracing_global.h"

#include <QList>
#include <QObject>
#include <QString>

namespace ZyrCore::Tracing {

using ZyrCore::Communication::CommandInfo;

class TracePlayer;
class TraceRecorder;

// An editable program of request telegrams as CommandInfo records: saved as a trace file through
// the recorder, loaded from any trace file through the player and executed through the player.
// Responses taken into the program become requests. The programmer owns its records.
class ZYRTRACING_EXPORT TraceProgrammer : public QObject {
    Q_OBJECT
public:
    explicit TraceProgrammer(QObject* parent = nullptr);
    ~TraceProgrammer() override;

    void setPlayer(TracePlayer* player) { itsPlayer = player; }
    TracePlayer* player() const { return itsPlayer; }
    void setRecorder(TraceRecorder* recorder) { itsRecorder = recorder; }
    TraceRecorder* recorder() const { return itsRecorder; }

    // Owned by the caller until inserted; null for an unknown name.
    CommandInfo* createCommand(QString name);
    static bool filterAndTransform(CommandInfo* commandInfo);

    // The records end up at position, position + 1, ... in their given order.
    bool insertCommands(int position, QList<CommandInfo*> commands);
    bool insertCommand(int position, CommandInfo* command);
    bool addCommand(CommandInfo* command);
    bool deleteCommands(int position, int count);
    bool deleteCommand(int position);
    QList<CommandInfo*> getAllCommands() const { return itsCommands; }
    // Copies owned by the caller; a negative count takes all to the end.
    QList<CommandInfo*> exportCommands(int position, int count) const;

    // A failed save writes no file; a failed load leaves the program as it was.
    bool saveProgram(QString fileName);
    bool loadProgram(QString fileName);
    // Plays up to count records from position; true when every one of them was played.
    bool execute(int position, int count);

public slots:
    bool validateCommand(CommandInfo* commandInfo);

signals:
    void commandsInserted(QList<CommandInfo*> infos, int position);
    void commandsDeleted(int position, int count);
    void executionStateChanged(bool isExecuting);

private:
    void setValidator(CommandInfo* commandInfo);

    QList<CommandInfo*> itsCommands;
    // The validator every record gets, its slot looked up once.
    ZyrCore::Tools::Delegate itsValidator;
    TracePlayer* itsPlayer = nullptr;
    TraceRecorder* itsRecorder = nullptr;
    bool itsExecuting = false;
};

} // namespace ZyrCore::Tracing

#endif // ZYRCORE_TRACING_TRACEPROGRAMMER_H
