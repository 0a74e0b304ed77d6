#include "platform/qt/QtHttpGet.h"

#include "system/ExternalAddress.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QNetworkProxy>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace vigilo {
namespace {

using namespace std::chrono_literals;

/// A tiny HTTP server on 127.0.0.1 answering each path with a fixed status and body. Paths it
/// does not know get no answer at all: the connection stays open and silent.
class FixedHttpServer {
public:
    struct Answer {
        QByteArray status;
        QByteArray body;
    };

    explicit FixedHttpServer(std::map<QByteArray, Answer> answers)
        : answers_(std::move(answers)) {
        QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] { accept(); });
        server_.listen(QHostAddress::LocalHost);
    }

    [[nodiscard]] std::string url(const char* path) const {
        return "http://127.0.0.1:" + std::to_string(server_.serverPort()) + path;
    }

private:
    void accept() {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                request_[socket] += socket->readAll();
                if (request_[socket].contains("\r\n\r\n")) {
                    answer(socket, request_[socket]);
                }
            });
        }
    }

    void answer(QTcpSocket* socket, const QByteArray& request) {
        const auto path = request.split(' ').value(1);
        const auto found = answers_.find(path);
        if (found == answers_.end()) {
            return;
        }
        const auto& [status, body] = found->second;
        socket->write("HTTP/1.1 " + status + "\r\nContent-Type: text/plain\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

    std::map<QByteArray, Answer> answers_;
    std::map<QTcpSocket*, QByteArray> request_;
    QTcpServer server_;
};

struct Outcome {
    bool done = false;
    std::optional<std::string> body;
};

/// Runs one GET to its end (or 10 s, which means the completion never came).
Outcome fetch(HttpGet& http, const std::string& url) {
    auto outcome = std::make_shared<Outcome>();
    http.get(url, [outcome](std::optional<std::string> body) {
        EXPECT_FALSE(outcome->done) << "completion ran twice";
        outcome->done = true;
        outcome->body = std::move(body);
    });
    const QDeadlineTimer deadline(10s);
    while (!outcome->done && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return *outcome;
}

/// A silent server fails it after 300 ms.
constexpr QtHttpGet::Limits quickLimits{.largestBody = 1024,
                                        .deadlines = {.idle = 300ms, .total = 10s}};

class QtHttpGetTest : public testing::Test {
protected:
    FixedHttpServer server{{
        {"/plain", {"200 OK", "203.0.113.7"}},
        {"/padded", {"200 OK", " 203.0.113.7\n"}},
        {"/empty", {"200 OK", ""}},
        {"/html", {"200 OK", "<html><body>203.0.113.7</body></html>"}},
        {"/binary", {"200 OK", QByteArray("\xff\xfe\x00\x01", 4)}},
        {"/error", {"503 Service Unavailable", "2001:db8::5"}},
    }};
    QtHttpGet http{quickLimits};
};

TEST_F(QtHttpGetTest, DeliversBodiesThatTheValidatorJudges) {
    const struct {
        const char* path;
        std::string body;
        std::optional<std::string> address;
    } cases[] = {
        {"/plain", "203.0.113.7", "203.0.113.7"},
        {"/padded", " 203.0.113.7\n", "203.0.113.7"},
        {"/empty", "", std::nullopt},
        {"/html", "<html><body>203.0.113.7</body></html>", std::nullopt},
        {"/binary", std::string("\xff\xfe\x00\x01", 4), std::nullopt},
    };
    for (const auto& c : cases) {
        const auto outcome = fetch(http, server.url(c.path));
        ASSERT_TRUE(outcome.done) << c.path;
        ASSERT_EQ(outcome.body, c.body) << c.path;
        EXPECT_EQ(ExternalAddress::fromBody(*outcome.body), c.address) << c.path;
    }
}

TEST_F(QtHttpGetTest, ErrorStatusStillDeliversTheBody) {
    const auto outcome = fetch(http, server.url("/error"));
    ASSERT_TRUE(outcome.done);
    EXPECT_EQ(outcome.body, "2001:db8::5");
}

TEST_F(QtHttpGetTest, SilentServerFailsAfterTheTransferTimeout) {
    const auto outcome = fetch(http, server.url("/silent"));
    ASSERT_TRUE(outcome.done);
    EXPECT_EQ(outcome.body, std::nullopt);
}

TEST_F(QtHttpGetTest, RefusedConnectionFails) {
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost);
    const auto port = closed.serverPort();
    closed.close();
    const auto outcome = fetch(http, "http://127.0.0.1:" + std::to_string(port) + "/plain");
    ASSERT_TRUE(outcome.done);
    EXPECT_EQ(outcome.body, std::nullopt);
}

TEST_F(QtHttpGetTest, DestroyedBeforeTheAnswerNeverCompletes) {
    bool completed = false;
    {
        QtHttpGet shortLived{quickLimits};
        shortLived.get(server.url("/silent"),
                       [&completed](std::optional<std::string>) { completed = true; });
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    const QDeadlineTimer deadline(600ms);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    EXPECT_FALSE(completed);
}

} // namespace
} // namespace vigilo

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // Requests go to 127.0.0.1 directly, whatever proxy the environment names.
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
