#pragma once

#include "model/AwakeModel.h"
#include "ui/Bridge.h"

namespace vigilo {

/// The general settings tab: its switches, and the battery row with its threshold pill.
class SettingsBridge final : public Bridge {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the program")
    Q_PROPERTY(bool soundEnabled READ soundEnabled WRITE setSoundEnabled NOTIFY changed)
    Q_PROPERTY(bool hidesMetrics READ hidesMetrics WRITE setHidesMetrics NOTIFY changed)
    Q_PROPERTY(
        bool simpleAnimation READ usesSimpleAnimation WRITE setUsesSimpleAnimation NOTIFY changed)
    Q_PROPERTY(bool canLaunchAtLogin READ canLaunchAtLogin CONSTANT)
    Q_PROPERTY(bool launchesAtLogin READ launchesAtLogin WRITE setLaunchesAtLogin NOTIFY changed)
    Q_PROPERTY(bool turnsScreenOffWithLidClosed READ turnsScreenOffWithLidClosed WRITE
                   setTurnsScreenOffWithLidClosed NOTIFY changed)
    Q_PROPERTY(qint64 batteryThreshold READ batteryThreshold NOTIFY changed)
    Q_PROPERTY(QString batterySymbol READ batterySymbol NOTIFY changed)
    Q_PROPERTY(QString batterySubtitle READ batterySubtitle NOTIFY changed)
    Q_PROPERTY(QString thresholdText READ thresholdText NOTIFY changed)
    Q_PROPERTY(QString thresholdName READ thresholdName NOTIFY changed)

public:
    /// `model` must outlive the bridge.
    explicit SettingsBridge(AwakeModel& model, QObject* parent = nullptr);

    [[nodiscard]] bool soundEnabled() const { return preferences_.soundEnabled(); }
    void setSoundEnabled(bool enabled) { preferences_.setSoundEnabled(enabled); }
    [[nodiscard]] bool hidesMetrics() const { return preferences_.hidesMetrics(); }
    void setHidesMetrics(bool hides) { preferences_.setHidesMetrics(hides); }
    [[nodiscard]] bool usesSimpleAnimation() const { return preferences_.usesSimpleAnimation(); }
    void setUsesSimpleAnimation(bool uses) { preferences_.setUsesSimpleAnimation(uses); }
    [[nodiscard]] bool canLaunchAtLogin() const { return preferences_.canLaunchAtLogin(); }
    [[nodiscard]] bool launchesAtLogin() const { return preferences_.launchesAtLogin(); }
    void setLaunchesAtLogin(bool launches) { preferences_.setLaunchesAtLogin(launches); }
    [[nodiscard]] bool turnsScreenOffWithLidClosed() const {
        return lidMode_.turnsScreenOffWithLidClosed();
    }
    void setTurnsScreenOffWithLidClosed(bool turnsOff) {
        lidMode_.setTurnsScreenOffWithLidClosed(turnsOff);
    }
    [[nodiscard]] qint64 batteryThreshold() const { return batteryStop_.batteryThreshold(); }
    /// The battery row's symbol, by the charge.
    [[nodiscard]] QString batterySymbol() const;
    [[nodiscard]] QString batterySubtitle() const;
    /// "≤20%" or "выкл".
    [[nodiscard]] QString thresholdText() const;
    /// The pill's accessible name, which says the threshold in words.
    [[nodiscard]] QString thresholdName() const;

    /// The threshold pill: the next battery level, wrapping through "off".
    Q_INVOKABLE void cycleBatteryThreshold() { batteryStop_.cycleBatteryThreshold(); }

private:
    Preferences& preferences_;
    BatteryStop& batteryStop_;
    LidMode& lidMode_;
    const Metrics& metrics_;
};

} // namespace vigilo
