#include "ControllerSource.h"
#include "FakePlatform.h"
#include "app/AppDelegate.h"
#include "app/ControlClient.h"
#include "app/ControlServer.h"
#include "platform/posix/ControlSocketPath.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

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

sockaddr_un addressOf(const QString& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::copy(name.begin(), name.end(), address.sun_path);
    return address;
}

// What a crashed instance leaves behind: a bound socket file with nobody listening.
void leaveStaleSocket(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    const sockaddr_un address = addressOf(path);
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    ASSERT_TRUE(QFile::exists(path));
}

constexpr uid_t anotherUser = 65534; // nobody

// Runs `body` in a child process as another local user; its result is the child's exit code.
// After fork only plain system calls are safe: `body` must not allocate or touch Qt.
pid_t runAsAnotherUser(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        const bool switched = ::setresgid(anotherUser, anotherUser, anotherUser) == 0 &&
                              ::setresuid(anotherUser, anotherUser, anotherUser) == 0;
        ::_exit(switched ? body() : 99);
    }
    return child;
}

mode_t modeOf(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode : 0;
}

class ControlTest : public ::testing::Test {
protected:
    ControlTest() { delegate.finishLaunching(); }

    QTemporaryDir folder;
    QString path = folder.path() + QStringLiteral("/control");
    fakes::FakePlatform platform;
    fakes::ControllerSource panels;
    AppDelegate delegate{platform.services, panels};
};

TEST_F(ControlTest, VerbsRoundTripToTheModel) {
    ControlServer server(path);
    ASSERT_EQ(server.listen(), ControlServer::Claim::Listening);
    server.setHandler([this](const ControlRequest& verb) { return delegate.handleControl(verb); });

    auto result = send(path, ControlVerb::On);
    ASSERT_EQ(result.status, ControlResult::Status::Answered);
    EXPECT_TRUE(result.reply.awake);
    EXPECT_EQ(platform.assertions.held.size(), 1U);

    result = send(path, ControlVerb::Status);
    ASSERT_EQ(result.status, ControlResult::Status::Answered);
    EXPECT_EQ(result.reply, (ControlReply{.awake = true,
                                          .title = QStringLiteral("Пьёт кофе · первая чашка"),
                                          .subtitle = QStringLiteral("Mac не уснёт")}));

    result = send(path, ControlVerb::Off);
    EXPECT_FALSE(result.reply.awake);
    EXPECT_TRUE(platform.assertions.held.empty());
    EXPECT_EQ(send(path, ControlVerb::Status).reply.title,
              QStringLiteral("Твой Mac не может спать"));

    result = send(path, ControlVerb::Show);
    EXPECT_EQ(result.status, ControlResult::Status::Answered);
    EXPECT_TRUE(delegate.panel().isOpen());
}

TEST_F(ControlTest, UnknownRequestGetsAnErrorLine) {
    ControlServer server(path);
    ASSERT_EQ(server.listen(), ControlServer::Claim::Listening);
    server.setHandler([this](const ControlRequest& verb) { return delegate.handleControl(verb); });

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
    first.setHandler([this](const ControlRequest& verb) { return delegate.handleControl(verb); });
    EXPECT_EQ(send(path, ControlVerb::Status).status, ControlResult::Status::Answered);

    ControlServer second(path);
    EXPECT_EQ(second.listen(), ControlServer::Claim::AlreadyRunning);
    EXPECT_EQ(send(path, ControlVerb::On).status, ControlResult::Status::Answered);
    EXPECT_TRUE(delegate.model().isAwake());
}

TEST_F(ControlTest, ClientRefusesASocketOfAnotherUser) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "acting as another user needs root";
    }
    // The stranger's look-alike answers every request as an instance would.
    ASSERT_EQ(::chmod(QFile::encodeName(folder.path()).constData(), 0777), 0);
    const sockaddr_un address = addressOf(path);
    const QByteArray reply = ControlProtocol::encodeReply({.awake = true});
    std::array<int, 2> ready{};
    ASSERT_EQ(::pipe(ready.data()), 0);
    const pid_t stranger = runAsAnotherUser([&] {
        const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(listener, 8) != 0 || ::write(ready[1], "!", 1) != 1) {
            return 1;
        }
        while (true) {
            const int client = ::accept(listener, nullptr, nullptr);
            (void)::write(client, reply.constData(), size_t(reply.size()));
            ::close(client);
        }
    });
    ASSERT_GT(stranger, 0);
    ::close(ready[1]);
    char byte = 0;
    const bool listening = ::read(ready[0], &byte, 1) == 1;
    ::close(ready[0]);

    const auto result = listening ? sendControl(path, ControlVerb::On) : ControlResult{};
    ::kill(stranger, SIGKILL);
    ::waitpid(stranger, nullptr, 0);
    ASSERT_TRUE(listening);
    EXPECT_EQ(result.status, ControlResult::Status::Stranger);
}

TEST_F(ControlTest, ServerIgnoresRequestsOfAnotherUser) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "acting as another user needs root";
    }
    ControlServer server(path);
    ASSERT_EQ(server.listen(), ControlServer::Claim::Listening);
    server.setHandler([this](const ControlRequest& verb) { return delegate.handleControl(verb); });
    // As if the socket could be reached by anyone: only who connects keeps the stranger out.
    ASSERT_EQ(::chmod(QFile::encodeName(folder.path()).constData(), 0711), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0777), 0);
    const sockaddr_un address = addressOf(path);
    constexpr int answered = 0;
    constexpr int unanswered = 1;
    const pid_t stranger = runAsAnotherUser([&] {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            return 2;
        }
        // The instance may drop the stranger before the request is even written: that is no
        // answer either, and must not end the process with SIGPIPE.
        if (::send(fd, "on\n", 3, MSG_NOSIGNAL) != 3) {
            return unanswered;
        }
        char byte = 0;
        return ::read(fd, &byte, 1) == 1 ? answered : unanswered;
    });
    ASSERT_GT(stranger, 0);
    int status = 0;
    while (::waitpid(stranger, &status, WNOHANG) == 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), unanswered);
    EXPECT_FALSE(delegate.model().isAwake());
}

// A client that gave up counts its switch as failed; a script that retries would switch twice
// if the instance still carried it out.
TEST_F(ControlTest, OnlyTheSwitchesOfClientsThatGetTheirReplyHappen) {
    ControlServer server(path);
    ASSERT_EQ(server.listen(), ControlServer::Claim::Listening);
    int applied = 0;
    server.setHandler([this, &applied](const ControlRequest& verb) {
        ++applied;
        return delegate.handleControl(verb);
    });
    constexpr int clientsOfEachKind = 100;
    std::vector<std::future<ControlResult>> impatient;
    std::vector<std::future<ControlResult>> patient;
    for (int i = 0; i < clientsOfEachKind; ++i) {
        impatient.push_back(std::async(
            std::launch::async, [this] { return sendControl(path, ControlVerb::Toggle, 50ms); }));
        patient.push_back(std::async(
            std::launch::async, [this] { return sendControl(path, ControlVerb::Toggle, 20s); }));
    }
    // The instance is busy (nothing is served here) until every impatient client has given up.
    for (auto& pending : impatient) {
        EXPECT_NE(pending.get().status, ControlResult::Status::Answered);
    }
    int answered = 0;
    int answeredAwake = 0;
    for (auto& pending : patient) {
        const ControlResult result = whileServing(std::move(pending));
        answered += result.status == ControlResult::Status::Answered ? 1 : 0;
        answeredAwake += result.reply.awake ? 1 : 0;
    }
    EXPECT_EQ(applied, answered);
    EXPECT_EQ(answered, clientsOfEachKind);
    // Every reply tells the state its own switch left: on after each odd one.
    EXPECT_EQ(answeredAwake, answered / 2 + answered % 2);
    EXPECT_EQ(delegate.model().isAwake(), applied % 2 == 1);
}

// A slow instance serves fewer requests in time than clients send; a client gives up while its
// request is carried out only if the instance no longer may carry it out.
TEST_F(ControlTest, EverySwitchIsCarriedOutAndAnsweredOrNeither) {
    ControlServer server(path);
    ASSERT_EQ(server.listen(), ControlServer::Claim::Listening);
    int applied = 0;
    server.setHandler([this, &applied](const ControlRequest& verb) {
        std::this_thread::sleep_for(25ms);
        ++applied;
        return delegate.handleControl(verb);
    });
    constexpr int clients = 200;
    std::vector<std::future<ControlResult>> pending;
    for (int i = 0; i < clients; ++i) {
        pending.push_back(std::async(std::launch::async,
                                     [this] { return sendControl(path, ControlVerb::Toggle); }));
    }
    int answered = 0;
    for (auto& client : pending) {
        const ControlResult result = whileServing(std::move(client));
        EXPECT_NE(result.status, ControlResult::Status::NotRunning);
        answered += result.status == ControlResult::Status::Answered ? 1 : 0;
    }
    EXPECT_EQ(applied, answered);
    EXPECT_EQ(delegate.model().isAwake(), applied % 2 == 1);
}

// Idle connections from another process of the user, as many as it can open, held until it is
// killed.
constexpr auto flooder = R"(
import resource, socket, sys, time
hard = resource.getrlimit(resource.RLIMIT_NOFILE)[1]
resource.setrlimit(resource.RLIMIT_NOFILE, (hard, hard))
held = []
# Connects until the server has taken all it will and the kernel's queue is full: a full queue
# is tried again until it has stayed full for 3 s, so a server slowed by a busy machine still
# takes every client it has room for.
stuck_since = None
while len(held) < 1000:
    client = socket.socket(socket.AF_UNIX)
    client.setblocking(False)
    try:
        client.connect(sys.argv[1])
    except OSError:
        client.close()
        stuck_since = stuck_since or time.monotonic()
        if time.monotonic() - stuck_since > 3:
            break
        time.sleep(0.05)
        continue
    stuck_since = None
    held.append(client)
print(len(held), flush=True)
time.sleep(600)
)";

// Waits, serving, until `ready` holds; false after 20 s.
bool serveUntil(const std::function<bool()>& ready) {
    const QDeadlineTimer deadline(20s);
    while (!ready()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// An instance that has used most of its descriptors is flooded; then its socket file is removed.
// Either way the command line reaches it again once the trouble is over.
TEST_F(ControlTest, TheSocketOutlivesAFloodAndTheRemovalOfItsFile) {
    ControlServer server(path);
    ASSERT_EQ(server.listen(), ControlServer::Claim::Listening);
    server.setHandler([this](const ControlRequest& verb) { return delegate.handleControl(verb); });
    const auto openDescriptors = std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                                               std::filesystem::directory_iterator());
    rlimit original{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &original), 0);
    rlimit few = original;
    const auto room = static_cast<int>(openDescriptors) + ControlServer::maxClients + 32;
    few.rlim_cur = static_cast<rlim_t>(room);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &few), 0);

    QProcess flood;
    flood.start(QStringLiteral("/usr/bin/python3"),
                {QStringLiteral("-c"), QString::fromUtf8(flooder), path});
    EXPECT_TRUE(serveUntil([&] { return flood.canReadLine(); }));
    const int held = flood.readLine().trimmed().toInt();
    EXPECT_GT(held, room) << "the flood must be larger than the room for descriptors";
    flood.kill();
    flood.waitForFinished();
    EXPECT_TRUE(serveUntil([&] {
        return send(path, ControlVerb::Status).status == ControlResult::Status::Answered;
    })) << "after the flood";
    ::setrlimit(RLIMIT_NOFILE, &original);

    ASSERT_TRUE(QFile::remove(path));
    EXPECT_TRUE(serveUntil([&] {
        return send(path, ControlVerb::Status).status == ControlResult::Status::Answered;
    })) << "after the socket file was removed";
}

TEST(ControlSocketPath, LivesInTheRuntimeFolderElseInTheUsersStateFolder) {
    const QTemporaryDir runtime;
    const std::string existing = runtime.path().toStdString();
    const struct {
        FolderEnvironment environment;
        const char* expected;
    } cases[] = {
        {{existing, "/state", "/home/u"}, ""},
        {{existing + "/gone", "/state", "/home/u"}, "/state/vigilo/control"},
        {{"", "/state", "/home/u"}, "/state/vigilo/control"},
        {{"", "", "/home/u"}, "/home/u/.local/state/vigilo/control"},
        {{"run", "state", "/home/u"}, "/home/u/.local/state/vigilo/control"},
    };
    for (const auto& [environment, expected] : cases) {
        const QString wanted = *expected != '\0'
                                   ? QString::fromLatin1(expected)
                                   : runtime.path() + QStringLiteral("/vigilo/control");
        EXPECT_EQ(ControlSocketPath::forEnvironment(environment), wanted)
            << environment.xdgRuntimeDir << " " << environment.xdgStateHome;
    }
}

// The folder is created private; an existing one that others could enter or replace is refused
// as it is, with its name in the reason.
TEST(ControlSocketPath, OnlyAPrivateFolderOfTheUserIsUsed) {
    const QTemporaryDir parent;
    const auto makeFolder = [](const QByteArray& name, mode_t mode) {
        return ::mkdir(name.constData(), 0700) == 0 && ::chmod(name.constData(), mode) == 0;
    };
    const struct {
        const char* what;
        std::function<bool(const QByteArray& above, const QByteArray& folder)> arrange;
        bool usable;
    } cases[] = {
        {"missing, and the folder above too",
         [](const QByteArray& above, const QByteArray&) { return ::rmdir(above.constData()) == 0; },
         true},
        {"private",
         [&](const QByteArray&, const QByteArray& folder) { return makeFolder(folder, 0700); },
         true},
        {"writable by its group",
         [&](const QByteArray&, const QByteArray& folder) { return makeFolder(folder, 0770); },
         false},
        {"readable by others",
         [&](const QByteArray&, const QByteArray& folder) { return makeFolder(folder, 0704); },
         false},
        {"owned by another user",
         [&](const QByteArray&, const QByteArray& folder) {
             return makeFolder(folder, 0700) && ::chown(folder.constData(), anotherUser, 0) == 0;
         },
         false},
        {"a link to a private folder",
         [&](const QByteArray& above, const QByteArray& folder) {
             const QByteArray target = above + "/real";
             return makeFolder(target, 0700) &&
                    ::symlink(target.constData(), folder.constData()) == 0;
         },
         false},
        {"a file",
         [](const QByteArray&, const QByteArray& folder) {
             return QFile(QFile::decodeName(folder)).open(QIODevice::WriteOnly);
         },
         false},
    };
    int index = 0;
    for (const auto& [what, arrange, usable] : cases) {
        SCOPED_TRACE(what);
        const QString above = parent.path() + QStringLiteral("/%1/above").arg(++index);
        const QString folder = above + QStringLiteral("/vigilo");
        ASSERT_TRUE(QDir().mkpath(above));
        if (!arrange(QFile::encodeName(above), QFile::encodeName(folder))) {
            // Giving a folder to another user takes root.
            EXPECT_EQ(errno, EPERM) << "cannot arrange the case: " << std::strerror(errno);
            continue;
        }
        const mode_t aboveBefore = modeOf(above);
        const mode_t before = modeOf(folder);
        const auto problem = ControlSocketPath::prepareFolder(folder + QStringLiteral("/control"));
        if (usable) {
            EXPECT_EQ(problem, std::nullopt);
            EXPECT_EQ(modeOf(folder), S_IFDIR | 0700);
            EXPECT_EQ(modeOf(above), aboveBefore != 0 ? aboveBefore : S_IFDIR | 0700);
        } else {
            ASSERT_NE(problem, std::nullopt);
            EXPECT_TRUE(problem->contains(folder)) << problem->toStdString();
            EXPECT_EQ(modeOf(folder), before);
        }
    }
}

TEST(ControlSocketPath, APathTooLongForASocketAddressIsNamedAsSuch) {
    const QTemporaryDir parent;
    // A socket address holds 107 bytes of path.
    const auto pathOfLength = [&](qsizetype length) {
        const QString start = parent.path() + QStringLiteral("/");
        const QString end = QStringLiteral("/control");
        return start + QString(length - start.size() - end.size(), u'f') + end;
    };
    EXPECT_EQ(ControlSocketPath::prepareFolder(pathOfLength(107)), std::nullopt);
    const QString tooLong = pathOfLength(108);
    const auto problem = ControlSocketPath::prepareFolder(tooLong);
    ASSERT_NE(problem, std::nullopt);
    EXPECT_TRUE(problem->contains(u"слишком длинный")) << problem->toStdString();
    EXPECT_EQ(ControlSocketPath::addressProblem(tooLong), problem);
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(tooLong).path()));
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

TEST(ControlProtocol, RequestsWithAnEndRoundTripAndOldFormsStay) {
    struct Case {
        const char* line;
        std::optional<ControlRequest> expected;
    };
    const Case cases[] = {
        // What every client has sent so far means what it meant.
        {"on", ControlRequest(ControlVerb::On)},
        {"off", ControlRequest(ControlVerb::Off)},
        {"status", ControlRequest(ControlVerb::Status)},
        {"on until 1780000000", ControlRequest::onUntil(1780000000)},
        {"on while 4242", ControlRequest::onWhile(4242)},
        {"off until 1780000000", std::nullopt},
        {"on until", std::nullopt},
        {"on until soon", std::nullopt},
        {"on while 0", std::nullopt},
        {"on while -3", std::nullopt},
        {"on for 60", std::nullopt},
        {"on until 1 2", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ControlProtocol::requestFromLine(c.line), c.expected) << c.line;
        if (c.expected) {
            EXPECT_EQ(ControlProtocol::request(*c.expected), QByteArray(c.line) + '\n');
        }
    }
    EXPECT_LE(ControlProtocol::request(ControlRequest::onUntil(std::numeric_limits<qint64>::max()))
                  .size(),
              ControlProtocol::maxRequestBytes);
}

} // namespace
} // namespace vigilo
