#include "app/ControlClient.h"

#include "app/ControlPeer.h"

#include <QDeadlineTimer>
#include <QLocalSocket>

namespace vigilo {

ControlResult sendControl(const QString& socketPath, const ControlRequest& request,
                          std::chrono::milliseconds timeout) {
    const QDeadlineTimer deadline(timeout);
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(int(deadline.remainingTime()))) {
        const bool nobodyThere = socket.error() == QLocalSocket::ServerNotFoundError ||
                                 socket.error() == QLocalSocket::ConnectionRefusedError;
        return {.status = nobodyThere ? ControlResult::Status::NotRunning
                                      : ControlResult::Status::NoAnswer};
    }
    if (!ControlPeer::isThisUser(socket.socketDescriptor())) {
        return {.status = ControlResult::Status::Stranger};
    }
    socket.write(ControlProtocol::request(request));
    QByteArray received;
    while (socket.state() == QLocalSocket::ConnectedState && !deadline.hasExpired()) {
        socket.waitForReadyRead(int(deadline.remainingTime()));
        received += socket.readAll();
    }
    received += socket.readAll();
    if (const auto reply = ControlProtocol::decodeReply(received)) {
        return {.status = ControlResult::Status::Answered, .reply = *reply};
    }
    return {.status = ControlResult::Status::NoAnswer};
}

} // namespace vigilo
