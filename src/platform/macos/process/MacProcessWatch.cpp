#include "platform/macos/process/MacProcessWatch.h"

#include "platform/posix/UniqueFd.h"

#include <QSocketNotifier>
#include <QTimer>
#include <sys/event.h>
#include <sys/sysctl.h>

namespace vigilo {

namespace {

class KqueueWatch final : public ProcessWatch::Watch {
public:
    KqueueWatch(UniqueFd queue, std::function<void()> ended)
        : queue_(std::move(queue))
        , notifier_(queue_.get(), QSocketNotifier::Read)
        , ended_(std::move(ended)) {
        QObject::connect(&notifier_, &QSocketNotifier::activated, &notifier_, [this] {
            notifier_.setEnabled(false);
            ended_();
        });
    }

private:
    UniqueFd queue_;
    QSocketNotifier notifier_;
    std::function<void()> ended_;
};

/// Tells of an end that already came, on the next turn of the event loop.
class EndedWatch final : public ProcessWatch::Watch {
public:
    explicit EndedWatch(std::function<void()> ended) {
        QTimer::singleShot(0, &context_, std::move(ended));
    }

private:
    QObject context_;
};

} // namespace

std::optional<ProcessIdentity> MacProcessWatch::identify(std::int64_t pid) {
    int name[] = {CTL_KERN, KERN_PROC, KERN_PROC_PID, static_cast<int>(pid)};
    kinfo_proc info{};
    size_t size = sizeof(info);
    if (pid <= 0 || ::sysctl(name, 4, &info, &size, nullptr, 0) != 0 || size == 0) {
        return std::nullopt;
    }
    const timeval started = info.kp_proc.p_starttime;
    return ProcessIdentity{.pid = pid,
                           .startTime = static_cast<std::uint64_t>(started.tv_sec) * 1'000'000U +
                                        static_cast<std::uint64_t>(started.tv_usec),
                           .name = info.kp_proc.p_comm};
}

std::unique_ptr<ProcessWatch::Watch> MacProcessWatch::watch(const ProcessIdentity& process,
                                                            std::function<void()> ended) {
    UniqueFd queue(::kqueue());
    struct kevent change {};
    EV_SET(&change, static_cast<uintptr_t>(process.pid), EVFILT_PROC, EV_ADD | EV_ONESHOT,
           NOTE_EXIT, 0, nullptr);
    // Registered before the identity is checked: a process that ends in between is still
    // reported, and one whose PID was already reused is over.
    if (queue.get() < 0 || ::kevent(queue.get(), &change, 1, nullptr, 0, nullptr) != 0 ||
        identify(process.pid) != process) {
        return std::make_unique<EndedWatch>(std::move(ended));
    }
    return std::make_unique<KqueueWatch>(std::move(queue), std::move(ended));
}

} // namespace vigilo
