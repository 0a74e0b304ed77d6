#include "platform/posix/ChildCommand.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ; // NOLINT(readability-redundant-declaration): POSIX declares it nowhere

namespace vigilo {

namespace {

/// The child that `wait` passes signals on to; 0 while none.
volatile sig_atomic_t waitedChild = 0;

extern "C" void passOn(int signal) {
    if (waitedChild > 0) {
        ::kill(static_cast<pid_t>(waitedChild), signal);
    }
}

constexpr std::array passedOn{SIGTERM, SIGHUP};
/// The terminal sends these to the whole foreground group: the child gets them itself.
constexpr std::array leftToTheChild{SIGINT, SIGQUIT};

} // namespace

std::variant<ChildCommand, std::string>
ChildCommand::start(const std::vector<std::string>& command) {
    if (command.empty()) {
        return std::string("нет команды");
    }
    std::vector<char*> arguments;
    arguments.reserve(command.size() + 1);
    for (const auto& argument : command) {
        arguments.push_back(const_cast<char*>(argument.c_str()));
    }
    arguments.push_back(nullptr);

    // Whatever this process ignores or blocks, the command starts with the usual signal state.
    posix_spawnattr_t attributes;
    ::posix_spawnattr_init(&attributes);
    sigset_t everything;
    sigset_t nothing;
    ::sigfillset(&everything);
    ::sigemptyset(&nothing);
    ::posix_spawnattr_setsigdefault(&attributes, &everything);
    ::posix_spawnattr_setsigmask(&attributes, &nothing);
    ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    pid_t pid = 0;
    const int error =
        ::posix_spawnp(&pid, arguments[0], nullptr, &attributes, arguments.data(), environ);
    ::posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        return std::string(std::strerror(error));
    }
    passSignalsTo(pid);
    return ChildCommand(pid);
}

void ChildCommand::passSignalsTo(pid_t pid) {
    waitedChild = pid;
    struct sigaction passing {};
    passing.sa_handler = passOn;
    ::sigemptyset(&passing.sa_mask);
    for (const int signal : passedOn) {
        ::sigaction(signal, &passing, nullptr);
    }
    struct sigaction ignoring {};
    ignoring.sa_handler = SIG_IGN;
    ::sigemptyset(&ignoring.sa_mask);
    for (const int signal : leftToTheChild) {
        ::sigaction(signal, &ignoring, nullptr);
    }
}

ChildCommand::Ended ChildCommand::wait() {
    int status = 0;
    pid_t reaped = 0;
    do {
        reaped = ::waitpid(pid_, &status, 0);
    } while (reaped < 0 && errno == EINTR);
    waitedChild = 0;
    if (reaped < 0) {
        return {.exited = true, .statusOrSignal = 127};
    }
    if (WIFSIGNALED(status)) {
        return {.exited = false, .statusOrSignal = WTERMSIG(status)};
    }
    return {.exited = true, .statusOrSignal = WEXITSTATUS(status)};
}

} // namespace vigilo
