#ifndef ZYRAPP_AUTOMATION_AUTOMATIONSERVER_H
#define ZYRAPP_AUTOMATION_AUTOMATIONSERVER_H

#include "automationcommandparser.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>

#include <functional>

class QTcpSocket;

// The automation port: a TCP server on the local host that serves one client at a time. The
// client's characters become the parser's requests, re-emitted here; the error replies go back
// to the client, and each client starts with no command open. While a client is connected,
// further connections are closed. A client's disconnection is handled from the event loop, so
// it never cuts into a write in progress, and the socket is deleted later. A connection that
// comes after the client has closed its end, before the event loop has read that close (a
// script that connects again at once), waits until the client is let go and is served then.
class AutomationServer : public QObject {
    Q_OBJECT

public:
    static constexpr quint16 defaultPort = 39999;
    // A client whose unsent output passes this is dropped.
    static constexpr qint64 maximumUnsentBytes = 8 * 1024 * 1024;

    explicit AutomationServer(QObject* parent = nullptr);
    ~AutomationServer() override;

    // Listens on 127.0.0.1. A failure is told on standard error and by listenFailed.
    bool listen(quint16 port = defaultPort);
    bool isListening() const;
    // The port listened on (useful after listen(0)); 0 when not listening.
    quint16 port() const;

    // The connected client, or null. Valid until clientDisconnected has been emitted.
    QTcpSocket* client() const;

    // Whether a target is there to measure; see AutomationCommandParser::setTargetCheck.
    void setTargetCheck(std::function<bool()> isTargetConnected);

signals:
    // A client was accepted; lines for it are written to client (e.g. through a log).
    void clientConnected(QTcpSocket* client);
    // The client left or was dropped; its socket is deleted once control returns to the
    // event loop, so anything writing to it (a log) must be let go now.
    void clientDisconnected();
    void measurementRequested();
    void operationModeRequested(int index);
    void iterationsRequested(int iterations);
    void thresholdRequested(int threshold);
    void listenFailed(const QString& message);

private:
    class Listener;

    bool hasClient() const;
    bool isClientLeaving() const;
    void acceptConnection(qintptr socketDescriptor);
    void judgeWaitingConnections();
    void admit(qintptr socketDescriptor);
    static void refuse(qintptr socketDescriptor);
    void readClient();
    void dropClient(QTcpSocket* client);
    void replyToClient(const QByteArray& reply);

    Listener* itsListener;
    AutomationCommandParser itsParser;
    QTcpSocket* itsClient = nullptr;
    // Connections that came while the client was leaving, judged once it has gone.
    QList<qintptr> itsWaitingConnections;
};

#endif // ZYRAPP_AUTOMATION_AUTOMATIONSERVER_H
