#include "FakePlatform.h"
#include "app/AppDelegate.h"
#include "app/ControlClient.h"
#include "app/ControlServer.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <future>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace vigilo {
namespace {

using namespace std::chrono_literals;

// The client blocks, so it runs on another thread while this one serves.
template <typename Result> Result whileServing(std::future<Result> pending) {
    while (pending.wait_for(0ms) != std::future_status::ready) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return pending.get();
}

ControlResult send(const QString& path, ControlVerb verb) {
    return whileServing(std::async(std::launch::async, [=] { return sendControl(path, verb); }));
}

// What a crashed instance leaves behind: a bound socket file with nobody listening.
void leaveStaleSocket(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::copy(name.begin(), name.end(), address.sun_path);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    ASSERT_TRUE(QFile::exists(path));
}

class ControlTest : public ::testing::Test {
protected:
    ControlTest() { delegate.finishLaunching(); }

    QTemporaryDir folder;
    QString path = folder.path() + QStringLiteral("/control");
    fakes::FakePlatform platform;
    AppDelegate delegate{platform.services};
};

TEST_F(ControlTest, VerbsRoundTripToTheModel) {
    ControlServer server(path);
    ASSERT_EQ(server.listen(), ControlServer::Claim::Listening);
    server.setHandler([this](ControlVerb verb) { return delegate.handleControl(verb); });

    auto result = send(path, ControlVerb::On);
    ASSERT_EQ(result.status, ControlResult::Status::Answered);
    EXPECT_TRUE(result.reply.awake);
    EXPECT_EQ(platform.assertions.held.size(), 1U);

    result = send(path, ControlVerb::Status);
    ASSERT_EQ(result.status, ControlResult::Status::Answered);
    EXPECT_EQ(result.reply,
              (ControlReply{.awake = true,
                            .title = QStringLiteral("Пьёт кофе · первая чашка"),
                            .subtitle = QStringLiteral("не спит даже с закрытой крышкой")}));

    result = send(path, ControlVerb::Off);
    EXPECT_FALSE(result.reply.awake);
    EXPECT_TRUE(platform.assertions.held.empty());
    EXPECT_EQ(send(path, ControlVerb::Status).reply.title,
              QStringLiteral("Твой Mac не может спать"));
}

TEST_F(ControlTest, UnknownRequestGetsAnErrorLine) {
    ControlServer server(path);
    ASSERT_EQ(server.listen(), ControlServer::Claim::Listening);
    server.setHandler([this](ControlVerb verb) { return delegate.handleControl(verb); });

    const QByteArray answer = whileServing(std::async(std::launch::async, [this] {
        QLocalSocket socket;
        socket.connectToServer(path);
        socket.waitForConnected(2000);
        socket.write("sleep\n");
        QByteArray received;
        while (socket.waitForReadyRead(2000)) {
            received += socket.readAll();
        }
        return received + socket.readAll();
    }));
    EXPECT_EQ(answer, QByteArray("error\n"));
    EXPECT_FALSE(delegate.model().isAwake());
}

TEST_F(ControlTest, NobodyListeningIsNotRunning) {
    EXPECT_EQ(sendControl(path, ControlVerb::Status).status, ControlResult::Status::NotRunning);
    leaveStaleSocket(path);
    EXPECT_EQ(sendControl(path, ControlVerb::Status).status, ControlResult::Status::NotRunning);
}

TEST_F(ControlTest, StaleSocketIsTakenOverALiveOneIsNot) {
    leaveStaleSocket(path);
    ControlServer first(path);
    ASSERT_EQ(first.listen(), ControlServer::Claim::Listening);
    first.setHandler([this](ControlVerb verb) { return delegate.handleControl(verb); });
    EXPECT_EQ(send(path, ControlVerb::Status).status, ControlResult::Status::Answered);

    ControlServer second(path);
    EXPECT_EQ(second.listen(), ControlServer::Claim::AlreadyRunning);
    EXPECT_EQ(send(path, ControlVerb::On).status, ControlResult::Status::Answered);
    EXPECT_TRUE(delegate.model().isAwake());
}

TEST(ControlProtocol, RepliesDecodeOnlyWhenComplete) {
    const ControlReply reply{.awake = false,
                             .title = QStringLiteral("Mac уснёт через 5 минут"),
                             .subtitle = QStringLiteral("на батарее")};
    const QByteArray bytes = ControlProtocol::encodeReply(reply);
    EXPECT_EQ(ControlProtocol::decodeReply(bytes), reply);
    EXPECT_EQ(ControlProtocol::decodeReply(bytes.chopped(1)), std::nullopt);
    EXPECT_EQ(ControlProtocol::decodeReply(ControlProtocol::errorReply()), std::nullopt);
    EXPECT_EQ(ControlProtocol::decodeReply("maybe\na\nb\n"), std::nullopt);
}

} // namespace
} // namespace vigilo
