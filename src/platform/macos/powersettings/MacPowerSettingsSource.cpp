#include "platform/macos/powersettings/MacPowerSettingsSource.h"

#include "platform/macos/powersettings/PowerSettings.h"

#include <QMetaObject>

namespace vigilo {

MacPowerSettingsSource::MacPowerSettingsSource(ProcessRunner& processes)
    : processes_(processes) {}

void MacPowerSettingsSource::read(std::function<void(PowerValues)> done) {
    waiting_.push_back(std::move(done));
    if (waiting_.size() > 1) {
        return;
    }
    // Replacing the previous worker joins it, which has ended its read already.
    worker_ = std::jthread([this] {
        const PowerValues values = PmsetPowerSettings(processes_).current();
        QMetaObject::invokeMethod(
            &receiver_, [this, values] { deliver(values); }, Qt::QueuedConnection);
    });
}

void MacPowerSettingsSource::deliver(const PowerValues& values) {
    const auto waiting = std::move(waiting_);
    waiting_.clear();
    for (const auto& done : waiting) {
        done(values);
    }
}

} // namespace vigilo
