#include "model/Preferences.h"

namespace vigilo {

Preferences::Preferences(Settings& settings, Desktop& desktop)
    : settings_(settings)
    , desktop_(desktop)
    , soundEnabled_(settings.read(SettingsKeys::soundEnabled))
    , hidesMetrics_(settings.read(SettingsKeys::hidesMetrics)) {}

void Preferences::setSoundEnabled(bool enabled) {
    soundEnabled_ = enabled;
    settings_.write(SettingsKeys::soundEnabled, enabled);
    changed_.notify();
}

void Preferences::setHidesMetrics(bool hides) {
    hidesMetrics_ = hides;
    settings_.write(SettingsKeys::hidesMetrics, hides);
    changed_.notify();
}

bool Preferences::usesSimpleAnimation() const {
    return settings_.read(SettingsKeys::usesSimpleAnimation);
}

void Preferences::setUsesSimpleAnimation(bool uses) {
    settings_.write(SettingsKeys::usesSimpleAnimation, uses);
    changed_.notify();
}

void Preferences::setLaunchesAtLogin(bool launches) {
    const auto error = desktop_.setLaunchesAtLogin(launches);
    // Told even when it failed: the switch then shows the login item as it still is.
    changed_.notify();
    if (error) {
        desktop_.showAlert("Не удалось изменить автозапуск", *error);
    }
}

} // namespace vigilo
