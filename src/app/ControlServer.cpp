#include "app/ControlServer.h"

#include "app/ControlPeer.h"

#include <QLocalSocket>
#include <QTimer>

namespace vigilo {

namespace {

// A client that connects and never finishes its request must not hold a socket forever.
constexpr int requestTimeoutMs = 2000;
constexpr int probeTimeoutMs = 500;

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
        if (!handler_) {
            socket->abort();
            return;
        }
        socket->write(verb ? ControlProtocol::encodeReply(handler_(*verb))
                           : ControlProtocol::errorReply());
        socket->disconnectFromServer();
    });
}

} // namespace vigilo
