#pragma once

#include "ports/Workspace.h"

#include <map>
#include <memory>

namespace vigilo::fakes {

/// A workspace whose running, installed and readable applications the test sets.
class FakeWorkspace final : public Workspace {
public:
    struct Installed {
        std::string location;
        std::optional<std::string> icon;
    };

    [[nodiscard]] std::set<std::string> runningApplicationIDs() const override { return running; }
    [[nodiscard]] std::unique_ptr<Observation>
    observeRunningApplications(std::function<void()> onChange) override {
        auto observation = std::make_unique<FakeObservation>(*this);
        onChange_ = std::move(onChange);
        return observation;
    }
    [[nodiscard]] std::optional<std::string>
    applicationLocation(const std::string& identifier) const override {
        const auto found = installed.find(identifier);
        return found == installed.end() ? std::nullopt : std::optional(found->second.location);
    }
    [[nodiscard]] std::optional<Bundle> readBundle(const std::string& location) const override {
        const auto found = bundles.find(location);
        return found == bundles.end() ? std::nullopt : std::optional(found->second);
    }
    [[nodiscard]] std::optional<std::string>
    iconReference(const std::string& location) const override {
        for (const auto& [identifier, app] : installed) {
            if (app.location == location) {
                return app.icon;
            }
        }
        return std::nullopt;
    }
    [[nodiscard]] std::vector<InstalledApplication> installedApplications() const override {
        return offered;
    }

    [[nodiscard]] bool isObserved() const { return static_cast<bool>(onChange_); }
    /// Sets the running identifiers and sends the change notice, if anyone observes.
    void changeRunning(std::set<std::string> identifiers) {
        running = std::move(identifiers);
        if (onChange_) {
            onChange_();
        }
    }

    std::set<std::string> running;
    std::map<std::string, Installed> installed;
    std::map<std::string, Bundle> bundles;
    std::vector<InstalledApplication> offered;

private:
    class FakeObservation final : public Observation {
    public:
        explicit FakeObservation(FakeWorkspace& workspace)
            : workspace_(workspace) {}
        ~FakeObservation() override { workspace_.onChange_ = nullptr; }

    private:
        FakeWorkspace& workspace_;
    };

    std::function<void()> onChange_;
};

} // namespace vigilo::fakes
