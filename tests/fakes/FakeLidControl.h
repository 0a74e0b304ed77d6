#pragma once

#include "ports/LidControl.h"

namespace vigilo::fakes {

/// A closed-lid permission and sleep switch kept in memory.
class FakeLidControl final : public LidControl {
public:
    [[nodiscard]] bool canKeepAwakeWithLidClosed() const override { return available; }
    [[nodiscard]] bool isInstalled() const override { return installed; }
    [[nodiscard]] bool isSleepDisabled() const override { return sleepDisabled; }
    [[nodiscard]] bool isLidClosed() const override {
        ++lidReads;
        return lidClosed;
    }
    bool setSleepDisabled(bool disabled) override {
        ++switchCalls;
        if (!installed || switchFails) {
            return false;
        }
        sleepDisabled = disabled;
        return true;
    }
    [[nodiscard]] const Signal<>& sleepSwitchChanged() const override {
        return sleepSwitchChanged_;
    }
    /// The system refused, dropped or took the switch again on its own.
    void switchChangesByItself(bool disabled) {
        sleepDisabled = disabled;
        sleepSwitchChanged_.notify();
    }
    [[nodiscard]] std::optional<LidError> install() override {
        if (installError) {
            return LidError{*installError};
        }
        installed = true;
        return std::nullopt;
    }
    [[nodiscard]] std::optional<LidError> uninstall() override {
        if (uninstallError) {
            return LidError{*uninstallError};
        }
        if (sleepDisabled) {
            setSleepDisabled(false);
        }
        installed = false;
        return std::nullopt;
    }

    bool available = true;
    bool installed = false;
    bool sleepDisabled = false;
    bool lidClosed = false;
    bool switchFails = false;
    int switchCalls = 0;
    mutable int lidReads = 0;
    std::optional<std::string> installError;
    std::optional<std::string> uninstallError;

private:
    Signal<> sleepSwitchChanged_;
};

} // namespace vigilo::fakes
