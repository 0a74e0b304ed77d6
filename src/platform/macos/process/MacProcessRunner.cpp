#include "platform/macos/process/MacProcessRunner.h"

#include "platform/posix/SpawnedChild.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vigilo {

using SpawnedChild::exitStatusOf;
using SpawnedChild::millisecondsUntil;
using SpawnedChild::readSome;
using SpawnedChild::waitForExit;

namespace {

/// Once the output has ended, how long to wait between two looks for the child's exit.
constexpr std::chrono::milliseconds exitPollInterval{10};

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

} // namespace

std::optional<ProcessResult> MacProcessRunner::run(const std::string& path,
                                                   const std::vector<std::string>& arguments) {
    return SpawnedChild::runToEnd(path, arguments);
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
    const auto child = SpawnedChild::start(path, arguments, true);
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
