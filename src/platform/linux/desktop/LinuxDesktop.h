#pragma once

#include "platform/linux/desktop/CanberraContext.h"
#include "platform/linux/desktop/XdgAutostart.h"
#include "ports/Desktop.h"

#include <QDBusConnection>

namespace vigilo {

/// The desktop services of a freedesktop.org session: the Qt clipboard, notifications from the
/// session's notification server, the sound theme's warning as the alert sound, an XDG autostart
/// entry as the login item, and Qt message boxes. Needs a QApplication.
class LinuxDesktop final : public Desktop {
public:
    /// `sessionBus` carries the notifications (it may be disconnected); `autostartFolder` and
    /// `executable` make the login item (see XdgAutostart).
    LinuxDesktop(QDBusConnection sessionBus, std::filesystem::path autostartFolder,
                 std::string executable);

    void copyText(const std::string& text) override;
    void requestNotificationAccess() override;
    void notify(const std::string& title, const std::string& body) override;
    void playAlertSound() override;
    void openUrl(const std::string& url) override;
    /// XDG autostart entries work on every desktop that follows the freedesktop rules.
    [[nodiscard]] bool canLaunchAtLogin() const override { return true; }
    [[nodiscard]] bool launchesAtLogin() const override;
    [[nodiscard]] std::optional<std::string> setLaunchesAtLogin(bool launches) override;
    void showAlert(const std::string& title, const std::string& message) override;

private:
    QDBusConnection sessionBus_;
    XdgAutostart autostart_;
    CanberraContext sounds_;
};

} // namespace vigilo
