#include "platform/qt/QtScheduler.h"

#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>

namespace vigilo {

void QtScheduler::post(std::function<void()> work) {
    QMetaObject::invokeMethod(&context_, std::move(work), Qt::QueuedConnection);
}

void QtScheduler::after(double seconds, std::function<void()> work) {
    const auto delay = std::chrono::milliseconds(std::llround(std::max(seconds, 0.0) * 1000));
    QTimer::singleShot(delay, &context_, std::move(work));
}

} // namespace vigilo
