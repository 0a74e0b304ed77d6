#pragma once

#include "app/ControlProtocol.h"

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <functional>

class QLocalSocket;

namespace vigilo {

/// The running instance's end of the control socket (the protocol is in ControlProtocol.h).
/// Serves only processes of its own user, and carries out a request only while its client
/// still waits for the reply.
class ControlServer final : public QObject {
    Q_OBJECT
public:
    enum class Claim {
        Listening,
        /// Another instance answers on the socket.
        AlreadyRunning,
        Failed,
    };
    using Handler = std::function<ControlReply(ControlVerb)>;

    explicit ControlServer(QString socketPath, QObject* parent = nullptr);

    /// Takes the socket. A socket file nobody answers on is left over from an instance that
    /// crashed; it is removed and taken over.
    [[nodiscard]] Claim listen();
    [[nodiscard]] QString errorString() const { return server_.errorString(); }
    /// Answers the verbs. Until it is set, requests are dropped without a reply.
    void setHandler(Handler handler) { handler_ = std::move(handler); }

private:
    void acceptAll();
    void serve(QLocalSocket* socket);

    QString socketPath_;
    QLocalServer server_;
    Handler handler_;
    bool accepting_ = false;
};

} // namespace vigilo
