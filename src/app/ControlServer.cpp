#include "app/ControlServer.h"

#include "app/ControlPeer.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QTimer>

namespace vigilo {

namespace {

constexpr int probeTimeoutMs = 500;
// Scripts may run many commands at once; the queue holds them all, so none waits outside it
// retrying its connection while the instance could be answering it.
constexpr int connectionQueueLength = 256;
// A socket that could not be made again (no descriptor left, say) is tried again this much later.
constexpr int relistenDelayMs = 2000;

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
    // Qt stops accepting while more than this many are taken and not yet served.
    server_.setMaxPendingConnections(1);
    connect(&server_, &QLocalServer::newConnection, this, &ControlServer::acceptAll);
    connect(&folder_, &QFileSystemWatcher::directoryChanged, this, &ControlServer::keepListening);
}

void ControlServer::acceptAll() {
    // Taking the queued connections at once (Qt takes one a turn of the loop) starts each
    // request's deadline close to its client's: a request taken late would let its client give up
    // while the server may still carry it out.
    if (accepting_) {
        return; // called again by the wait below, which the loop takes care of
    }
    accepting_ = true;
    while (clients_ < maxClients) {
        if (QLocalSocket* socket = server_.nextPendingConnection()) {
            serve(socket);
        } else if (!server_.waitForNewConnection(0)) {
            break;
        }
    }
    accepting_ = false;
}

ControlServer::Claim ControlServer::listen() {
    const Claim claimed = claim();
    if (claimed == Claim::Listening) {
        folder_.addPath(QFileInfo(socketPath_).path());
    }
    return claimed;
}

void ControlServer::keepListening() {
    if (server_.isListening() && QFileInfo::exists(socketPath_)) {
        return;
    }
    server_.close();
    if (claim() != Claim::Listening) {
        QTimer::singleShot(relistenDelayMs, this, &ControlServer::keepListening);
    }
}

ControlServer::Claim ControlServer::claim() {
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
    ++clients_;
    connect(socket, &QObject::destroyed, this, [this] {
        --clients_;
        // The next of those waiting, now that there is room.
        QTimer::singleShot(0, this, &ControlServer::acceptAll);
    });
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    if (!ControlPeer::isThisUser(socket->socketDescriptor())) {
        socket->abort();
        return;
    }
    // A client that connects and never finishes its request must not hold a socket forever.
    const QDeadlineTimer deadline(ControlProtocol::serverDeadline);
    QTimer::singleShot(ControlProtocol::serverDeadline, socket, [socket] { socket->abort(); });
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, deadline] {
        if (!socket->canReadLine()) {
            if (socket->bytesAvailable() > ControlProtocol::maxRequestBytes) {
                socket->abort();
            }
            return;
        }
        const QByteArray line = socket->readLine(ControlProtocol::maxRequestBytes).trimmed();
        const auto request = ControlProtocol::requestFromLine(line);
        // A client that gave up waiting counts the request as failed (and may send it again),
        // so what it asked for must not happen; past the deadline it may give up any moment.
        // The timer that ends the connection can come late on a busy machine.
        if (!handler_ || deadline.hasExpired() || socket->state() != QLocalSocket::ConnectedState ||
            ControlPeer::hasHungUp(socket->socketDescriptor())) {
            socket->abort();
            return;
        }
        socket->write(request ? ControlProtocol::encodeReply(handler_(*request))
                              : ControlProtocol::errorReply());
        // Handed to the kernel now rather than on a later turn of the loop, so the reply
        // reaches the client while it still waits.
        socket->flush();
        socket->disconnectFromServer();
    });
}

} // namespace vigilo
