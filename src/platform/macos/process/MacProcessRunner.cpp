#include "platform/macos/process/MacProcessRunner.h"

#include "platform/posix/UniqueFd.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vigilo {

namespace {

/// Once the output has ended, how long to wait between two looks for the child's exit.
constexpr std::chrono::milliseconds exitPollInterval{10};

/// posix_spawn's attribute and file-action objects, destroyed on every path out.
class SpawnSetup {
public:
    SpawnSetup() {
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawnattr_init(&attributes);
    }
    ~SpawnSetup() {
        ::posix_spawnattr_destroy(&attributes);
        ::posix_spawn_file_actions_destroy(&actions);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    posix_spawn_file_actions_t actions{};
    posix_spawnattr_t attributes{};
};

/// A pipe whose two ends are closed on exec; `nonBlocking` makes both ends non-blocking.
std::optional<std::array<UniqueFd, 2>> makePipe(bool nonBlocking) {
    std::array<int, 2> ends{};
    if (::pipe(ends.data()) != 0) {
        return std::nullopt;
    }
    std::array<UniqueFd, 2> pipe{UniqueFd(ends[0]), UniqueFd(ends[1])};
    for (const auto& end : pipe) {
        if (::fcntl(end.get(), F_SETFD, FD_CLOEXEC) != 0 ||
            (nonBlocking && ::fcntl(end.get(), F_SETFL, O_NONBLOCK) != 0)) {
            return std::nullopt;
        }
    }
    return pipe;
}

/// Reads once from `fd` onto the end of `output`; false at the end of the output (or an error).
bool readSome(int fd, std::string& output) {
    std::array<char, 65536> buffer; // filled by read() before use
    for (;;) {
        const ssize_t count = ::read(fd, buffer.data(), buffer.size());
        if (count > 0) {
            output.append(buffer.data(), static_cast<std::size_t>(count));
            return true;
        }
        if (count == 0 || errno != EINTR) {
            return false;
        }
    }
}

std::optional<int> exitStatusOf(int status) {
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    return std::nullopt;
}

std::optional<int> waitForExit(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return std::nullopt;
        }
    }
    return exitStatusOf(status);
}

/// A started child and the read end of its standard output.
struct Child {
    pid_t pid = 0;
    UniqueFd output;
};

/// Starts the program; with `ownGroup`, as the leader of a new process group.
std::optional<Child> spawn(const std::string& path, const std::vector<std::string>& arguments,
                           bool ownGroup) {
    auto pipe = makePipe(false);
    if (!pipe) {
        return std::nullopt;
    }
    auto& [readEnd, writeEnd] = *pipe;

    SpawnSetup setup;
    ::posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_adddup2(&setup.actions, writeEnd.get(), STDOUT_FILENO);
    ::posix_spawn_file_actions_addopen(&setup.actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    // The child starts with a clean signal state, whatever this process blocks or ignores
    // (an ignored SIGPIPE would otherwise survive the exec).
    sigset_t noSignals;
    sigemptyset(&noSignals);
    sigset_t defaultSignals;
    sigemptyset(&defaultSignals);
    sigaddset(&defaultSignals, SIGPIPE);
    ::posix_spawnattr_setsigmask(&setup.attributes, &noSignals);
    ::posix_spawnattr_setsigdefault(&setup.attributes, &defaultSignals);
    // Group 0: a new group, numbered as the child.
    ::posix_spawnattr_setpgroup(&setup.attributes, 0);
    int flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
    if (ownGroup) {
        flags |= POSIX_SPAWN_SETPGROUP;
    }
#ifdef POSIX_SPAWN_CLOEXEC_DEFAULT
    // Only the descriptors named above reach the child: libraries may leave others open
    // without close-on-exec.
    flags |= POSIX_SPAWN_CLOEXEC_DEFAULT;
#endif
    ::posix_spawnattr_setflags(&setup.attributes, static_cast<short>(flags));

    std::vector<char*> argv;
    argv.reserve(arguments.size() + 2);
    argv.push_back(const_cast<char*>(path.c_str()));
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    pid_t pid = 0;
    if (::posix_spawn(&pid, path.c_str(), &setup.actions, &setup.attributes, argv.data(),
                      environ) != 0) {
        return std::nullopt;
    }
    // Only the child may hold the write end, or reading would never see the output's end.
    return Child{.pid = pid, .output = std::move(readEnd)};
}

/// Milliseconds left until `deadline`, as poll(2) takes them: never negative.
int millisecondsUntil(std::chrono::steady_clock::time_point deadline) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(left.count(), 0, 1 << 30));
}

} // namespace

std::optional<ProcessResult> MacProcessRunner::run(const std::string& path,
                                                   const std::vector<std::string>& arguments) {
    const auto child = spawn(path, arguments, false);
    if (!child) {
        return std::nullopt;
    }
    ProcessResult result;
    while (readSome(child->output.get(), result.standardOutput)) {
    }
    result.exitStatus = waitForExit(child->pid);
    return result;
}

std::optional<ProcessResult> MacProcessRunner::runWithin(const std::string& path,
                                                         const std::vector<std::string>& arguments,
                                                         const RunLimit& limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit.timeout;
    // Readable once stop is requested (at once when it already was).
    auto stopped = makePipe(true);
    if (!stopped) {
        return std::nullopt;
    }
    const std::stop_callback onStop(limit.stop, [&stopped] {
        const char one = 1;
        (void)!::write((*stopped)[1].get(), &one, 1);
    });
    const auto child = spawn(path, arguments, true);
    if (!child) {
        return std::nullopt;
    }

    ProcessResult result;
    bool outputEnded = false;
    std::optional<int> status;
    while (!result.killed && !status) {
        if (outputEnded) {
            int raw = 0;
            const pid_t waited = ::waitpid(child->pid, &raw, WNOHANG);
            if (waited == child->pid) {
                status = raw;
                break;
            }
            if (waited < 0 && errno != EINTR) {
                break;
            }
        }
        // A descriptor of -1 is left out by poll(2).
        std::array<pollfd, 2> waits{
            {{.fd = outputEnded ? -1 : child->output.get(), .events = POLLIN, .revents = 0},
             {.fd = (*stopped)[0].get(), .events = POLLIN, .revents = 0}}};
        const int timeLeft = millisecondsUntil(deadline);
        const int wait =
            outputEnded ? std::min(timeLeft, static_cast<int>(exitPollInterval.count())) : timeLeft;
        const int ready = ::poll(waits.data(), waits.size(), wait);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready < 0 || waits[1].revents != 0 || (ready == 0 && timeLeft == 0)) {
            result.killed = true;
        }
        if (waits[0].revents != 0) {
            outputEnded = !readSome(child->output.get(), result.standardOutput);
        }
    }
    if (result.killed) {
        // The child is not reaped yet, so its number still names its group.
        ::kill(-child->pid, SIGKILL);
    }
    result.exitStatus = status ? exitStatusOf(*status) : waitForExit(child->pid);
    return result;
}

} // namespace vigilo
