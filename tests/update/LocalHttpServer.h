#pragma once

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <map>
#include <optional>
#include <string>

namespace vigilo::testing {

/// An HTTP server on 127.0.0.1 for the test's own event loop: answers each GET with a body the
/// test put there (or 404), then closes the connection. A body may be cut short: the full length
/// is announced and the connection closes early, as a dropped download does.
class LocalHttpServer {
public:
    LocalHttpServer() {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket,
                                 [this, socket] { answer(socket); });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

    /// The address of `path` ("/feed.xml") on this server.
    [[nodiscard]] std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(server_.serverPort()) + path;
    }
    /// Serves `body` at `path`; with `sentBytes`, only that many bytes of it arrive.
    void put(const std::string& path, std::string body,
             std::optional<std::size_t> sentBytes = std::nullopt) {
        files_[path] = File{std::move(body), sentBytes};
    }
    /// How many requests asked for `path`.
    [[nodiscard]] int requests(const std::string& path) const {
        const auto found = requests_.find(path);
        return found == requests_.end() ? 0 : found->second;
    }
    [[nodiscard]] int allRequests() const {
        int count = 0;
        for (const auto& [path, requests] : requests_) {
            count += requests;
        }
        return count;
    }

private:
    struct File {
        std::string body;
        std::optional<std::size_t> sentBytes;
    };

    void answer(QTcpSocket* socket) {
        QByteArray& request = pending_[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n")) {
            return;
        }
        const QList<QByteArray> words = request.left(request.indexOf("\r\n")).split(' ');
        const std::string path = words.size() > 1 ? words[1].toStdString() : "";
        pending_.erase(socket);
        ++requests_[path];
        const auto file = files_.find(path);
        if (file == files_.end()) {
            socket->write("HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\nConnection: close\r\n\r\n"
                          "not found");
        } else {
            const std::string& body = file->second.body;
            const std::string header =
                "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
                "\r\nConnection: close\r\n\r\n";
            socket->write(header.data(), static_cast<qint64>(header.size()));
            const auto sent = file->second.sentBytes.value_or(body.size());
            socket->write(body.data(), static_cast<qint64>(sent));
        }
        socket->disconnectFromHost();
    }

    QTcpServer server_;
    std::map<std::string, File> files_;
    std::map<QTcpSocket*, QByteArray> pending_;
    std::map<std::string, int> requests_;
};

} // namespace vigilo::testing
