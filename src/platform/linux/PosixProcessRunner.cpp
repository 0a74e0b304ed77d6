#include "platform/linux/PosixProcessRunner.h"

#include "platform/linux/UniqueFd.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vigilo {

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

std::string readToEnd(int fd) {
    std::string output;
    std::array<char, 65536> buffer; // filled by read() before use
    for (;;) {
        const ssize_t count = ::read(fd, buffer.data(), buffer.size());
        if (count > 0) {
            output.append(buffer.data(), static_cast<std::size_t>(count));
        } else if (count == 0 || errno != EINTR) {
            return output;
        }
    }
}

std::optional<int> waitForExit(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return std::nullopt;
        }
    }
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    return std::nullopt;
}

} // namespace

std::optional<ProcessResult> PosixProcessRunner::run(const std::string& path,
                                                     const std::vector<std::string>& arguments) {
    std::array<int, 2> pipeEnds{};
    if (::pipe2(pipeEnds.data(), O_CLOEXEC) != 0) {
        return std::nullopt;
    }
    UniqueFd readEnd(pipeEnds[0]);
    UniqueFd writeEnd(pipeEnds[1]);

    SpawnSetup setup;
    ::posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_adddup2(&setup.actions, writeEnd.get(), STDOUT_FILENO);
    ::posix_spawn_file_actions_addopen(&setup.actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    // Our descriptors are opened close-on-exec, but Qt plugins and libraries may not be as
    // careful; a leaked inhibitor descriptor would keep a lock alive in the child.
    ::posix_spawn_file_actions_addclosefrom_np(&setup.actions, STDERR_FILENO + 1);

    // The child starts with a clean signal state, whatever this process blocks or ignores
    // (an ignored SIGPIPE would otherwise survive the exec).
    sigset_t noSignals;
    sigemptyset(&noSignals);
    sigset_t defaultSignals;
    sigemptyset(&defaultSignals);
    sigaddset(&defaultSignals, SIGPIPE);
    ::posix_spawnattr_setsigmask(&setup.attributes, &noSignals);
    ::posix_spawnattr_setsigdefault(&setup.attributes, &defaultSignals);
    ::posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

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
    // Only the child may hold the write end, or the read below would never see its end.
    writeEnd.reset();

    ProcessResult result;
    result.standardOutput = readToEnd(readEnd.get());
    result.exitStatus = waitForExit(pid);
    return result;
}

} // namespace vigilo
