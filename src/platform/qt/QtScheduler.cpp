#include "platform/qt/QtScheduler.h"

#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

namespace vigilo {

void QtScheduler::post(std::function<void()> work) {
    QMetaObject::invokeMethod(&context_, std::move(work), Qt::QueuedConnection);
}

namespace {

std::chrono::milliseconds milliseconds(double seconds) {
    return std::chrono::milliseconds(std::llround(std::max(seconds, 0.0) * 1000));
}

/// A coarse timer: Qt may move it by up to 5 % to share a wake-up with other timers.
class RepeatingTimer final : public Scheduler::Repeating {
public:
    RepeatingTimer(double seconds, std::function<void()> work) {
        timer_.setTimerType(Qt::CoarseTimer);
        timer_.setInterval(milliseconds(seconds));
        QObject::connect(&timer_, &QTimer::timeout, &timer_, std::move(work));
        timer_.start();
    }

private:
    QTimer timer_;
};

/// Keeps its work joined to the heartbeat; the heartbeat holds it weakly, so dropping the handle
/// is all it takes to leave, even after the scheduler is gone.
class HeartbeatHandle final : public Scheduler::Repeating {
public:
    explicit HeartbeatHandle(std::function<void()> joined)
        : work(std::make_shared<std::function<void()>>(std::move(joined))) {}

    std::shared_ptr<std::function<void()>> work;
};

} // namespace

class QtScheduler::Heartbeat {
public:
    explicit Heartbeat(QObject& context) {
        // Named so that a report of the main thread's work (bench/app) can tell it from others.
        timer_.setObjectName(QStringLiteral("heartbeat"));
        timer_.setTimerType(Qt::CoarseTimer);
        timer_.setInterval(milliseconds(heartbeatSeconds));
        QObject::connect(&timer_, &QTimer::timeout, &context, [this] { beat(); });
    }

    void join(const std::shared_ptr<std::function<void()>>& work) {
        joined_.push_back(work);
        if (!timer_.isActive()) {
            timer_.start();
        }
    }

private:
    void beat() {
        std::erase_if(joined_, [](const auto& work) { return work.expired(); });
        if (joined_.empty()) {
            timer_.stop();
            return;
        }
        // Work may join or leave as it runs: each runs only if it is still joined when its turn
        // comes, and work that joins now waits for the next beat.
        const auto turn = joined_;
        for (const auto& joined : turn) {
            if (const auto work = joined.lock()) {
                (*work)();
            }
        }
    }

    QTimer timer_;
    std::vector<std::weak_ptr<std::function<void()>>> joined_;
};

void QtScheduler::after(double seconds, std::function<void()> work) {
    QTimer::singleShot(milliseconds(seconds), &context_, std::move(work));
}

std::unique_ptr<Scheduler::Repeating> QtScheduler::every(double seconds,
                                                         std::function<void()> work) {
    return std::make_unique<RepeatingTimer>(seconds, std::move(work));
}

std::unique_ptr<Scheduler::Repeating> QtScheduler::onHeartbeat(std::function<void()> work) {
    if (!heartbeat_) {
        heartbeat_ = std::make_shared<Heartbeat>(context_);
    }
    auto handle = std::make_unique<HeartbeatHandle>(std::move(work));
    heartbeat_->join(handle->work);
    return handle;
}

} // namespace vigilo
