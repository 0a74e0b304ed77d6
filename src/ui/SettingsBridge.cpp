#include "ui/SettingsBridge.h"

#include "model/SettingsTexts.h"

namespace vigilo {

SettingsBridge::SettingsBridge(AwakeModel& model, QObject* parent)
    : Bridge(parent)
    , preferences_(model.preferences())
    , batteryStop_(model.batteryStop())
    , lidMode_(model.lidMode())
    , metrics_(model.metrics()) {
    follow(model.preferences().changed());
    follow(model.batteryStop().changed());
    follow(model.lidMode().changed());
    // The battery row follows the charge, sampled with the other figures.
    follow(model.metrics().changed());
}

QString SettingsBridge::batterySymbol() const {
    return QString::fromStdString(SettingsTexts::batterySymbol(metrics_.battery()));
}

QString SettingsBridge::batterySubtitle() const {
    return QString::fromStdString(
        SettingsTexts::batterySubtitle(metrics_.battery(), batteryStop_.isBatteryLow()));
}

QString SettingsBridge::thresholdText() const {
    return QString::fromStdString(SettingsTexts::thresholdPill(batteryStop_.batteryThreshold()));
}

QString SettingsBridge::thresholdName() const {
    return QString::fromStdString(SettingsTexts::thresholdName(batteryStop_.batteryThreshold()));
}

} // namespace vigilo
