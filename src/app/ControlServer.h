#pragma once

#include "app/ControlProtocol.h"

#include <QFileSystemWatcher>
#include <QLocalServer>
#include <QObject>
#include <QString>
#include <functional>

class QLocalSocket;

namespace vigilo {

/// The running instance's end of the control socket (the protocol is in ControlProtocol.h).
/// Serves only processes of its own user, and carries out a request only while its client
/// still waits for the reply.
///
/// A flood of clients cannot take the socket away: a few are served at once and the others wait
/// in the kernel's queue, where they hold none of the instance's descriptors. When the socket
/// is gone all the same (its file deleted, or Qt closed it after running out of descriptors),
/// it is made again.
class ControlServer final : public QObject {
    Q_OBJECT
public:
    /// Clients served at once: as many as the kernel queues, so that a storm of commands is
    /// taken at once and each request's deadline starts close to its client's.
    static constexpr int maxClients = 256;

    enum class Claim {
        Listening,
        /// Another instance answers on the socket.
        AlreadyRunning,
        Failed,
    };
    using Handler = std::function<ControlReply(const ControlRequest&)>;

    explicit ControlServer(QString socketPath, QObject* parent = nullptr);

    /// Takes the socket, and takes it again whenever it is gone. A socket file nobody answers on
    /// is left over from an instance that crashed; it is removed and taken over.
    [[nodiscard]] Claim listen();
    [[nodiscard]] QString errorString() const { return server_.errorString(); }
    /// Answers the requests. Until it is set, requests are dropped without a reply.
    void setHandler(Handler handler) { handler_ = std::move(handler); }

private:
    [[nodiscard]] Claim claim();
    /// Listens again if the socket is gone.
    void keepListening();
    void acceptAll();
    void serve(QLocalSocket* socket);

    QString socketPath_;
    QLocalServer server_;
    /// Tells when the socket's file is removed.
    QFileSystemWatcher folder_;
    Handler handler_;
    bool accepting_ = false;
    int clients_ = 0;
};

} // namespace vigilo
