#include "platform/linux/process/PosixProcessRunner.h"

#include "platform/posix/SpawnedChild.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace vigilo {

using SpawnedChild::millisecondsUntil;
using SpawnedChild::readSome;
using SpawnedChild::waitForExit;

std::optional<ProcessResult> PosixProcessRunner::run(const std::string& path,
                                                     const std::vector<std::string>& arguments) {
    return SpawnedChild::runToEnd(path, arguments);
}

std::optional<ProcessResult>
PosixProcessRunner::runWithin(const std::string& path, const std::vector<std::string>& arguments,
                              const RunLimit& limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit.timeout;
    const auto child = SpawnedChild::start(path, arguments, true);
    if (!child) {
        return std::nullopt;
    }
    // Readable once the child has exited.
    const UniqueFd exited(static_cast<int>(::syscall(SYS_pidfd_open, child->pid, 0)));
    // Readable once stop is requested (at once when it already was).
    const UniqueFd stopped(::eventfd(0, EFD_CLOEXEC));
    const std::stop_callback onStop(limit.stop, [&stopped] {
        const std::uint64_t one = 1;
        (void)!::write(stopped.get(), &one, sizeof one);
    });

    ProcessResult result;
    bool outputEnded = false;
    bool hasExited = false;
    result.killed = !exited.isValid() || !stopped.isValid();
    while (!result.killed && !(outputEnded && hasExited)) {
        // A descriptor of -1 is left out by poll(2).
        std::array<pollfd, 3> waits{
            {{.fd = outputEnded ? -1 : child->output.get(), .events = POLLIN, .revents = 0},
             {.fd = hasExited ? -1 : exited.get(), .events = POLLIN, .revents = 0},
             {.fd = stopped.get(), .events = POLLIN, .revents = 0}}};
        const int ready = ::poll(waits.data(), waits.size(), millisecondsUntil(deadline));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0 || waits[2].revents != 0) {
            result.killed = true;
        }
        if (waits[0].revents != 0) {
            outputEnded = !readSome(child->output.get(), result.standardOutput);
        }
        hasExited = hasExited || waits[1].revents != 0;
    }
    if (result.killed) {
        // The child is not reaped yet, so its number still names its group.
        ::kill(-child->pid, SIGKILL);
    }
    result.exitStatus = waitForExit(child->pid);
    return result;
}

} // namespace vigilo
