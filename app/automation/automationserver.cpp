#include "automationserver.h"

#include "automationclientsocket.h"
#include "socketpeer.h"

#include <QHostAddress>
#include <QTcpSocket>

#include <cstdio>
#include <utility>

// Hands each incoming connection to the server before Qt queues it, so a refused one is
// closed without ever becoming a pending socket.
class AutomationServer::Listener : public QTcpServer {
public:
    explicit Listener(AutomationServer* server)
        : QTcpServer(server)
        , itsServer(server) {}

protected:
    void incomingConnection(qintptr socketDescriptor) override {
        itsServer->acceptConnection(socketDescriptor);
    }

private:
    AutomationServer* itsServer;
};

AutomationServer::AutomationServer(QObject* parent)
    : QObject(parent)
    , itsListener(new Listener(this)) {
    // So clientConnected may also be received through queued connections and spies.
    qRegisterMetaType<QTcpSocket*>();
    connect(&itsParser, &AutomationCommandParser::measurementRequested, this,
            &AutomationServer::measurementRequested);
    connect(&itsParser, &AutomationCommandParser::operationModeRequested, this,
            &AutomationServer::operationModeRequested);
    connect(&itsParser, &AutomationCommandParser::iterationsRequested, this,
            &AutomationServer::iterationsRequested);
    connect(&itsParser, &AutomationCommandParser::thresholdRequested, this,
            &AutomationServer::thresholdRequested);
    connect(&itsParser, &AutomationCommandParser::replyReady, this,
            &AutomationServer::replyToClient);
}

AutomationServer::~AutomationServer() {
    for (qintptr socketDescriptor : qAsConst(itsWaitingConnections))
        refuse(socketDescriptor);
}

bool AutomationServer::listen(quint16 port) {
    if (itsListener->listen(QHostAddress::LocalHost, port))
        return true;
    const QString message = tr("The automation server cannot listen on port %1: %2")
                                .arg(port)
                                .arg(itsListener->errorString());
    std::fprintf(stderr, "%s\n", qPrintable(message));
    emit listenFailed(message);
    return false;
}

bool AutomationServer::isListening() const {
    return itsListener->isListening();
}

quint16 AutomationServer::port() const {
    return itsListener->serverPort();
}

QTcpSocket* AutomationServer::client() const {
    return itsClient;
}

void AutomationServer::setTargetCheck(std::function<bool()> isTargetConnected) {
    itsParser.setTargetCheck(std::move(isTargetConnected));
}

// A client whose socket has closed no longer counts, though its end may still wait in the event
// loop.
bool AutomationServer::hasClient() const {
    return itsClient != nullptr && itsClient->state() == QAbstractSocket::ConnectedState;
}

// Connected as far as Qt knows, but the peer has closed: the event loop has yet to read it.
bool AutomationServer::isClientLeaving() const {
    return hasClient() && hasPeerClosed(itsClient->socketDescriptor());
}

void AutomationServer::acceptConnection(qintptr socketDescriptor) {
    // What a leaving client sent is still handled, its close with it; the newcomer then follows,
    // as do those that came after it, in order.
    if (isClientLeaving() || !itsWaitingConnections.isEmpty())
        itsWaitingConnections.append(socketDescriptor);
    else if (hasClient())
        refuse(socketDescriptor);
    else
        admit(socketDescriptor);
}

void AutomationServer::judgeWaitingConnections() {
    const QList<qintptr> waiting = std::exchange(itsWaitingConnections, {});
    for (qintptr socketDescriptor : waiting)
        acceptConnection(socketDescriptor);
}

void AutomationServer::admit(qintptr socketDescriptor) {
    if (itsClient != nullptr)
        dropClient(itsClient);
    auto* client = new AutomationClientSocket(maximumUnsentBytes, this);
    if (!client->setSocketDescriptor(socketDescriptor)) {
        delete client;
        return;
    }
    // Records go out as they are written; waiting to coalesce them would delay a cycle's
    // last line by the peer's delayed acknowledgement (tens of milliseconds).
    client->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    itsClient = client;
    itsParser.reset();
    connect(client, &QTcpSocket::readyRead, this, &AutomationServer::readClient);
    // A client that is going away asks for nothing more, even in a chunk being read.
    connect(client, &QAbstractSocket::errorOccurred, &itsParser,
            &AutomationCommandParser::dropRestOfChunk);
    connect(client, &AutomationClientSocket::outputOverflowed, &itsParser,
            &AutomationCommandParser::dropRestOfChunk);
    // Queued: a peer reset found during a write must not end the client inside that write.
    connect(
        client, &QTcpSocket::disconnected, this, [this, client] { dropClient(client); },
        Qt::QueuedConnection);
    emit clientConnected(client);
}

// Closed straight away: no socket object is needed to say no.
void AutomationServer::refuse(qintptr socketDescriptor) {
    closeSocketDescriptor(socketDescriptor);
}

void AutomationServer::readClient() {
    if (itsClient != nullptr)
        itsParser.feed(itsClient->readAll());
}

void AutomationServer::dropClient(QTcpSocket* client) {
    if (client != itsClient)
        return;
    itsClient = nullptr;
    client->disconnect(this);
    emit clientDisconnected();
    client->deleteLater();
    judgeWaitingConnections();
}

void AutomationServer::replyToClient(const QByteArray& reply) {
    if (itsClient != nullptr && itsClient->isWritable())
        itsClient->write(reply);
}
