#include "platform/linux/process/LinuxProcessWatch.h"

#include "platform/posix/UniqueFd.h"

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <charconv>
#include <fstream>
#include <sstream>
#include <sys/syscall.h>
#include <unistd.h>

namespace vigilo {

namespace {

constexpr int pollMilliseconds = 2000;

/// A process descriptor for `pid`, or an invalid one (errno says why).
UniqueFd openProcess(std::int64_t pid) {
#ifdef SYS_pidfd_open
    return UniqueFd(static_cast<int>(::syscall(SYS_pidfd_open, static_cast<pid_t>(pid), 0)));
#else
    errno = ENOSYS;
    return UniqueFd();
#endif
}

/// Reports once, on a later turn of the event loop, and never after it is destroyed.
class QtWatch final : public ProcessWatch::Watch {
public:
    explicit QtWatch(std::function<void()> ended)
        : ended_(std::move(ended)) {}

    /// The process is already gone.
    void reportSoon() {
        QTimer::singleShot(0, &context_, [this] { report(); });
    }
    /// Reports when `fd` becomes readable.
    void waitOn(UniqueFd fd) {
        fd_ = std::move(fd);
        notifier_ = std::make_unique<QSocketNotifier>(fd_.get(), QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, &context_,
                         [this] { report(); });
    }
    /// Reports when `stillThere` says no.
    void poll(std::function<bool()> stillThere) {
        timer_.setInterval(pollMilliseconds);
        QObject::connect(&timer_, &QTimer::timeout, &context_,
                         [this, stillThere = std::move(stillThere)] {
                             if (!stillThere()) {
                                 report();
                             }
                         });
        timer_.start();
    }

private:
    void report() {
        if (!ended_) {
            return;
        }
        if (notifier_) {
            notifier_->setEnabled(false);
        }
        timer_.stop();
        // Called last: the owner may destroy this watch from within.
        std::exchange(ended_, {})();
    }

    std::function<void()> ended_;
    UniqueFd fd_;
    // Declared after the descriptor, so destroyed before it is closed.
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer timer_;
    QObject context_;
};

} // namespace

LinuxProcessWatch::LinuxProcessWatch(std::filesystem::path procRoot)
    : procRoot_(std::move(procRoot)) {}

std::optional<ProcessIdentity> LinuxProcessWatch::fromStat(std::int64_t pid,
                                                           const std::string& stat) {
    // "pid (name) state ppid …": the name may hold spaces and parentheses, so it ends at the
    // last ')'. The start time is the 22nd field, the 20th after the name.
    const auto open = stat.find('(');
    const auto close = stat.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open) {
        return std::nullopt;
    }
    std::istringstream fields(stat.substr(close + 1));
    std::string field;
    for (int index = 0; index < 20; ++index) {
        if (!(fields >> field)) {
            return std::nullopt;
        }
    }
    std::uint64_t startTime = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), startTime);
    if (error != std::errc() || end != field.data() + field.size()) {
        return std::nullopt;
    }
    return ProcessIdentity{
        .pid = pid, .startTime = startTime, .name = stat.substr(open + 1, close - open - 1)};
}

std::optional<ProcessIdentity> LinuxProcessWatch::identify(std::int64_t pid) {
    if (pid <= 0) {
        return std::nullopt;
    }
    // A few hundred bytes from the kernel: read at once.
    std::ifstream file(procRoot_ / std::to_string(pid) / "stat");
    std::string stat;
    if (!std::getline(file, stat)) {
        return std::nullopt;
    }
    return fromStat(pid, stat);
}

std::unique_ptr<ProcessWatch::Watch> LinuxProcessWatch::watch(const ProcessIdentity& process,
                                                              std::function<void()> ended) {
    auto watch = std::make_unique<QtWatch>(std::move(ended));
    UniqueFd fd = openProcess(process.pid);
    const bool supported = fd.isValid() || errno != ENOSYS;
    // Identified after the descriptor is open: a PID reused before that is not the process.
    const bool isThatProcess = identify(process.pid) == process;
    if (isThatProcess && fd.isValid()) {
        watch->waitOn(std::move(fd));
    } else if (isThatProcess && !supported) {
        watch->poll([this, process] { return identify(process.pid) == process; });
    } else {
        // Gone already, or its descriptor could not be had for another reason.
        watch->reportSoon();
    }
    return watch;
}

} // namespace vigilo
