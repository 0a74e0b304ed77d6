#include "platform/qt/QtScheduler.h"

#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>

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

} // namespace

void QtScheduler::after(double seconds, std::function<void()> work) {
    QTimer::singleShot(milliseconds(seconds), &context_, std::move(work));
}

std::unique_ptr<Scheduler::Repeating> QtScheduler::every(double seconds,
                                                         std::function<void()> work) {
    return std::make_unique<RepeatingTimer>(seconds, std::move(work));
}

} // namespace vigilo
