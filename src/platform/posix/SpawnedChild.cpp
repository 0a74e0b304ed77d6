#include "platform/posix/SpawnedChild.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vigilo::SpawnedChild {

namespace {

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

} // namespace

std::optional<Child> start(const std::string& path, const std::vector<std::string>& arguments,
                           bool ownGroup) {
    // pipe() and fcntl() rather than Linux's pipe2(): the child closes every other descriptor
    // anyway (below), so one that a thread's spawn caught in between goes no further.
    std::array<int, 2> ends{};
    if (::pipe(ends.data()) != 0) {
        return std::nullopt;
    }
    UniqueFd readEnd(ends[0]);
    UniqueFd writeEnd(ends[1]);
    if (::fcntl(readEnd.get(), F_SETFD, FD_CLOEXEC) != 0 ||
        ::fcntl(writeEnd.get(), F_SETFD, FD_CLOEXEC) != 0) {
        return std::nullopt;
    }

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
    // Our descriptors are opened close-on-exec, but Qt plugins and libraries may not be as
    // careful; a leaked inhibitor descriptor would keep a lock alive in the child. Each system
    // has its own way to pass on only the three standard ones.
#ifdef POSIX_SPAWN_CLOEXEC_DEFAULT
    flags |= POSIX_SPAWN_CLOEXEC_DEFAULT; // Apple
#else
    ::posix_spawn_file_actions_addclosefrom_np(&setup.actions, STDERR_FILENO + 1); // glibc
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

int millisecondsUntil(std::chrono::steady_clock::time_point deadline) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(left.count(), 0, 1 << 30));
}

std::optional<ProcessResult> runToEnd(const std::string& path,
                                      const std::vector<std::string>& arguments) {
    const auto child = start(path, arguments, false);
    if (!child) {
        return std::nullopt;
    }
    ProcessResult result;
    while (readSome(child->output.get(), result.standardOutput)) {
    }
    result.exitStatus = waitForExit(child->pid);
    return result;
}

} // namespace vigilo::SpawnedChild
