#ifndef ZYRAPP_AUTOMATION_AUTOMATIONCLIENTSOCKET_H
#define ZYRAPP_AUTOMATION_AUTOMATIONCLIENTSOCKET_H

#include <QTcpSocket>

// The automation client's connection. It holds at most a fixed amount of unsent output: a
// client that stops reading would otherwise grow the program's memory without bound. A write
// that would pass the limit fails and the connection is dropped from the event loop, never
// inside the writer's call.
class AutomationClientSocket : public QTcpSocket {
    Q_OBJECT

public:
    explicit AutomationClientSocket(qint64 maximumUnsentBytes, QObject* parent = nullptr);

signals:
    // Emitted within the write that passed the limit; the connection is being dropped.
    void outputOverflowed();

protected:
    qint64 writeData(const char* data, qint64 size) override;

private:
    qint64 itsMaximumUnsentBytes;
    bool itsDropping = false;
};

#endif // ZYRAPP_AUTOMATION_AUTOMATIONCLIENTSOCKET_H
