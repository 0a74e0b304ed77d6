#include "model/Preferences.h"

namespace vigilo {

Preferences::Preferences(Settings& settings, Desktop& desktop)
    : settings_(settings)
    , desktop_(desktop)
    , soundEnabled_(settings.read(SettingsKeys::soundEnabled))
    , hidesMetrics_(settings.read(SettingsKeys::hidesMetrics)) {}

void Preferences::setSoundEnabled(bool enabled) {
    willChange_.notify();
    soundEnabled_ = enabled;
    settings_.write(SettingsKeys::soundEnabled, enabled);
}

void Preferences::setHidesMetrics(bool hides) {
    willChange_.notify();
    hidesMetrics_ = hides;
    settings_.write(SettingsKeys::hidesMetrics, hides);
}

bool Preferences::usesSimpleAnimation() const {
    return settings_.read(SettingsKeys::usesSimpleAnimation);
}

void Preferences::setUsesSimpleAnimation(bool uses) {
    willChange_.notify();
    settings_.write(SettingsKeys::usesSimpleAnimation, uses);
}

void Preferences::setLaunchesAtLogin(bool launches) {
    willChange_.notify();
    if (const auto error = desktop_.setLaunchesAtLogin(launches)) {
        desktop_.showAlert("Не удалось изменить автозапуск", *error);
    }
}

} // namespace vigilo
