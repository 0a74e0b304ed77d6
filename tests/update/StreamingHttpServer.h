#pragma once

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <netinet/in.h>
#include <poll.h>
#include <stop_token>
#include <string>
#include <string_view>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace vigilo::testing {

/// An HTTP server on 127.0.0.1 in a thread of its own, for bodies the test's event loop could
/// not send: far larger than a client should ever hold, or a byte at a time. Every request gets
/// the same body of filler bytes, sent as fast as the client takes them or one byte per pause.
/// Counts the bytes the client took.
class StreamingHttpServer {
public:
    struct Body {
        std::uint64_t size;
        /// Announced in Content-Length; else the body ends with the connection.
        bool announced = false;
        /// Between single bytes; none sends as fast as the client takes.
        std::chrono::milliseconds pause{0};
    };

    explicit StreamingHttpServer(Body body)
        : body_(body)
        , listener_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length);
        ::listen(listener_, 4);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::jthread([this](const std::stop_token& stop) { serve(stop); });
    }
    ~StreamingHttpServer() {
        thread_.request_stop();
        thread_.join();
        ::close(listener_);
    }
    StreamingHttpServer(const StreamingHttpServer&) = delete;
    StreamingHttpServer& operator=(const StreamingHttpServer&) = delete;

    [[nodiscard]] std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    /// Body bytes the clients have taken so far.
    [[nodiscard]] std::uint64_t sentBytes() const { return sent_; }

private:
    /// Waits up to 50 ms for `events` on `fd`; false when they did not come.
    static bool await(int fd, short events) {
        pollfd wanted{.fd = fd, .events = events, .revents = 0};
        return ::poll(&wanted, 1, 50) == 1;
    }

    void serve(const std::stop_token& stop) {
        while (!stop.stop_requested()) {
            if (!await(listener_, POLLIN)) {
                continue;
            }
            const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (client >= 0) {
                answer(client, stop);
                ::close(client);
            }
        }
    }

    void answer(int client, const std::stop_token& stop) {
        std::string request;
        while (request.find("\r\n\r\n") == std::string::npos) {
            if (stop.stop_requested()) {
                return;
            }
            if (!await(client, POLLIN)) {
                continue;
            }
            char buffer[4096];
            const auto got = ::recv(client, buffer, sizeof buffer, 0);
            if (got <= 0) {
                return;
            }
            request.append(buffer, static_cast<std::size_t>(got));
        }
        std::string header = "HTTP/1.1 200 OK\r\nConnection: close\r\n";
        if (body_.announced) {
            header += "Content-Length: " + std::to_string(body_.size) + "\r\n";
        }
        header += "\r\n";
        if (!sendAll(client, header, stop)) {
            return;
        }
        const std::string filler(body_.pause.count() > 0 ? 1 : 64 << 10, ' ');
        for (std::uint64_t left = body_.size; left > 0;) {
            const auto piece = std::min<std::uint64_t>(left, filler.size());
            if (!sendAll(client, filler.substr(0, piece), stop)) {
                return;
            }
            sent_ += piece;
            left -= piece;
            for (auto slept = std::chrono::milliseconds(0); slept < body_.pause;
                 slept += std::chrono::milliseconds(10)) {
                if (stop.stop_requested()) {
                    return;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }
    }

    /// False when the client hung up or the server is stopping.
    bool sendAll(int client, std::string_view bytes, const std::stop_token& stop) {
        while (!bytes.empty()) {
            if (stop.stop_requested()) {
                return false;
            }
            if (!await(client, POLLOUT)) {
                continue;
            }
            const auto put = ::send(client, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (put < 0) {
                return false;
            }
            bytes.remove_prefix(static_cast<std::size_t>(put));
        }
        return true;
    }

    Body body_;
    int listener_;
    std::uint16_t port_ = 0;
    std::atomic<std::uint64_t> sent_ = 0;
    std::jthread thread_;
};

} // namespace vigilo::testing
