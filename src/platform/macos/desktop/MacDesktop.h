#pragma once

#include "ports/Desktop.h"

#include <optional>
#include <string>

namespace vigilo {

/// The Mac's desktop services: the general pasteboard, UserNotifications, the "Glass" system
/// sound, NSWorkspace for addresses, SMAppService.mainApp as the login item, NSAlert, and the
/// trackpad's haptic feedback. Main thread only.
class MacDesktop final : public Desktop {
public:
    MacDesktop() = default;

    void copyText(const std::string& text) override;
    /// Asks for alerts and sounds. Outside an application bundle there is no notification
    /// centre to ask, and nothing happens.
    void requestNotificationAccess() override;
    /// A notification with the default sound, delivered at once; nothing outside a bundle.
    void notify(const std::string& title, const std::string& body) override;
    void playAlertSound() override;
    void openUrl(const std::string& url) override;
    /// SMAppService, on every supported macOS.
    [[nodiscard]] bool canLaunchAtLogin() const override { return true; }
    /// The main application's login-item status is "enabled".
    [[nodiscard]] bool launchesAtLogin() const override;
    /// The system's description of a failure, with the advice to move the program to
    /// /Applications (see macLoginItemFailure).
    [[nodiscard]] std::optional<std::string> setLaunchesAtLogin(bool launches) override;
    /// Runs the alert from the event loop, after the caller has returned: the program's state
    /// never waits inside a modal loop.
    void showAlert(const std::string& title, const std::string& message) override;

    /// The trackpad's "level change" feedback, now.
    void performHapticFeedback();
};

} // namespace vigilo
