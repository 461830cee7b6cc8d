#ifndef ZYRAPP_AUTOMATION_AUTOMATIONCOMMANDPARSER_H
#define ZYRAPP_AUTOMATION_AUTOMATIONCOMMANDPARSER_H

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

// Reads the automation client's character protocol. Outside a command, "d", "p" and "b" choose
// an operation mode, "(" opens a command and any other character asks for one measurement;
// "(I<number>)" and "(T<number>)" set the iterations and the detection threshold. Each request
// is a signal, emitted in the order of the characters; answers for the client are replyReady.
// The parser's state runs on across chunks, so a command may arrive split; reset() forgets it.
class AutomationCommandParser : public QObject {
    Q_OBJECT

public:
    // A command longer than this is refused and the rest of it, up to its ")", dropped.
    static constexpr int maximumCommandLength = 64;
    static const char invalidCommandReply[];
    static const char noTargetReply[];

    explicit AutomationCommandParser(QObject* parent = nullptr);

    // Asked before each character outside a command: without a target every such character is
    // answered with noTargetReply and has no other effect. Unset, a target counts as there.
    void setTargetCheck(std::function<bool()> isTargetConnected);

    // One chunk as read from the client: taken up to its first NUL, trimmed of white space at
    // both ends, then character by character.
    void feed(const QByteArray& chunk);
    // Drops the rest of the chunk being fed, e.g. once its client is gone: each character may
    // run a measurement, and they would be measured for no one.
    void dropRestOfChunk();
    // Forgets a command left open, so a new client starts with none.
    void reset();

signals:
    void measurementRequested();
    // 0 "Distance+Proximity", 1 "Proximity Mode", 2 "Distance Mode".
    void operationModeRequested(int index);
    void iterationsRequested(int iterations);
    void thresholdRequested(int threshold);
    void replyReady(const QByteArray& reply);

private:
    void takeOutsideCommand(QChar character);
    void takeInsideCommand(QChar character);
    void processCommand(const QString& command);

    std::function<bool()> itsTargetCheck;
    QString itsCommand;
    bool itsInCommand = false;
    // The open command passed the length limit: its characters are dropped up to ")".
    bool itsDroppingCommand = false;
    bool itsDroppingChunk = false;
};

#endif // ZYRAPP_AUTOMATION_AUTOMATIONCOMMANDPARSER_H
