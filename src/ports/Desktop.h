#pragma once

#include <optional>
#include <string>

namespace vigilo {

/// The desktop session's small services: clipboard, notifications, links, sounds, login items.
class Desktop {
public:
    virtual ~Desktop() = default;
    /// Replaces the clipboard's content with plain `text`.
    virtual void copyText(const std::string& text) = 0;
    /// Asks once for permission to show notifications; the answer is not needed.
    virtual void requestNotificationAccess() = 0;
    /// Shows a notification now. Failures are silent.
    virtual void notify(const std::string& title, const std::string& body) = 0;
    /// Plays the system's short alert sound, so it is heard even without notifications.
    virtual void playAlertSound() = 0;
    /// Opens an address with the user's default handler.
    virtual void openUrl(const std::string& url) = 0;
    /// The platform can start the program when the user logs in.
    [[nodiscard]] virtual bool canLaunchAtLogin() const = 0;
    /// The program starts when the user logs in.
    [[nodiscard]] virtual bool launchesAtLogin() const = 0;
    /// Registers or unregisters the program as a login item. Nothing on success, else the
    /// error's description for the user, with whatever advice the platform has for it.
    [[nodiscard]] virtual std::optional<std::string> setLaunchesAtLogin(bool launches) = 0;
    /// Shows an alert and returns at once; it stays up until the user dismisses it.
    virtual void showAlert(const std::string& title, const std::string& message) = 0;
};

} // namespace vigilo
