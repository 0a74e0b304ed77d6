#pragma once

#include "ports/Desktop.h"

#include <vector>

namespace vigilo::fakes {

/// Records every request to the desktop; the login item can be made to fail.
class FakeDesktop final : public Desktop {
public:
    struct Message {
        std::string title;
        std::string body;
    };

    void copyText(const std::string& text) override { clipboard = text; }
    void requestNotificationAccess() override { ++accessRequests; }
    void notify(const std::string& title, const std::string& body) override {
        notifications.push_back({title, body});
    }
    void playAlertSound() override { ++alertSounds; }
    void openUrl(const std::string& url) override { openedUrls.push_back(url); }
    [[nodiscard]] bool canLaunchAtLogin() const override { return true; }
    [[nodiscard]] bool launchesAtLogin() const override { return loginItem; }
    [[nodiscard]] std::optional<std::string> setLaunchesAtLogin(bool launches) override {
        if (loginItemError) {
            return loginItemError;
        }
        loginItem = launches;
        return std::nullopt;
    }
    void showAlert(const std::string& title, const std::string& message) override {
        alerts.push_back({title, message});
    }

    std::string clipboard;
    int accessRequests = 0;
    std::vector<Message> notifications;
    int alertSounds = 0;
    std::vector<std::string> openedUrls;
    bool loginItem = false;
    std::optional<std::string> loginItemError;
    std::vector<Message> alerts;
};

} // namespace vigilo::fakes
