#include "app/ControlServer.h"

#include "app/ControlPeer.h"

#include <QLocalSocket>
#include <QTimer>

namespace vigilo {

namespace {

// A client that connects and never finishes its request must not hold a socket forever.
constexpr int requestTimeoutMs = 2000;
constexpr int probeTimeoutMs = 500;
// Scripts may run many commands at once; the queue holds them all, so none waits outside it
// retrying its connection while the instance could be answering it.
constexpr int connectionQueueLength = 256;

bool somebodyAnswers(const QString& socketPath) {
    QLocalSocket probe;
    probe.connectToServer(socketPath);
    return probe.waitForConnected(probeTimeoutMs);
}

} // namespace

ControlServer::ControlServer(QString socketPath, QObject* parent)
    : QObject(parent)
    , socketPath_(std::move(socketPath)) {
    // No socket access options: with them Qt binds elsewhere and renames over the path, which
    // would silently take the socket from a running instance. The folder is private instead.
    server_.setListenBacklogSize(connectionQueueLength);
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            serve(socket);
        }
    });
}

ControlServer::Claim ControlServer::listen() {
    if (server_.listen(socketPath_)) {
        return Claim::Listening;
    }
    if (server_.serverError() != QAbstractSocket::AddressInUseError) {
        return Claim::Failed;
    }
    if (somebodyAnswers(socketPath_)) {
        return Claim::AlreadyRunning;
    }
    QLocalServer::removeServer(socketPath_);
    return server_.listen(socketPath_) ? Claim::Listening : Claim::Failed;
}

void ControlServer::serve(QLocalSocket* socket) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    if (!ControlPeer::isThisUser(socket->socketDescriptor())) {
        socket->abort();
        return;
    }
    QTimer::singleShot(requestTimeoutMs, socket, [socket] { socket->abort(); });
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        if (!socket->canReadLine()) {
            if (socket->bytesAvailable() > ControlProtocol::maxRequestBytes) {
                socket->abort();
            }
            return;
        }
        const QByteArray line = socket->readLine(ControlProtocol::maxRequestBytes).trimmed();
        const auto verb = ControlProtocol::verbFromName(line);
        // A client that gave up waiting counts the request as failed (and may send it again),
        // so what it asked for must not happen.
        if (!handler_ || socket->state() != QLocalSocket::ConnectedState ||
            ControlPeer::hasHungUp(socket->socketDescriptor())) {
            socket->abort();
            return;
        }
        socket->write(verb ? ControlProtocol::encodeReply(handler_(*verb))
                           : ControlProtocol::errorReply());
        // Handed to the kernel now rather than on a later turn of the loop, so the reply
        // reaches the client while it still waits.
        socket->flush();
        socket->disconnectFromServer();
    });
}

} // namespace vigilo
