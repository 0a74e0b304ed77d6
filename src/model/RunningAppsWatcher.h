#pragma once

#include "model/Settings.h"
#include "model/WatchedApps.h"
#include "ports/Scheduler.h"
#include "ports/Workspace.h"
#include "util/Signal.h"

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace vigilo {

/// The list of watched applications (the built-in assistants the user has not hidden, then the
/// ones the user added), which of them are enabled, and which enabled ones run now.
/// The list is stored in the defaults; every edit is saved at once and recomputes the running
/// names. Main thread only. Every published change is told through `changed()`.
class RunningAppsWatcher final : public WatchedApps {
public:
    struct App {
        /// The name shown to the user.
        std::string name;
        /// The identifiers that count as this application. Never empty in the watcher's lists.
        std::vector<std::string> bundleIDs;

        /// The key under which the application is enabled or hidden: its first identifier.
        [[nodiscard]] std::string id() const {
            return bundleIDs.empty() ? std::string() : bundleIDs.front();
        }
        bool operator==(const App&) const = default;
    };

    /// The fixed built-in applications, in their order. Besides the macOS bundle identifiers
    /// (the first one is the stored id), they list the desktop-file ids of their Linux builds
    /// and the process names of the command-line assistants of the same makers.
    [[nodiscard]] static const std::vector<App>& builtIn();
    /// The process names that the built-in applications' identifiers give.
    [[nodiscard]] static std::set<std::string> builtInProcessNames();

    /// Loads the stored list, starts observing the running applications and computes the
    /// running names once. The services must outlive the watcher.
    RunningAppsWatcher(Settings& settings, Workspace& workspace, Scheduler& scheduler);
    RunningAppsWatcher(const RunningAppsWatcher&) = delete;
    RunningAppsWatcher& operator=(const RunningAppsWatcher&) = delete;

    /// Told after every published change.
    [[nodiscard]] const Signal<>& changed() const { return changed_; }

    [[nodiscard]] const std::vector<App>& customApps() const { return customApps_; }
    [[nodiscard]] const std::set<std::string>& hiddenBuiltInIDs() const {
        return hiddenBuiltInIDs_;
    }
    [[nodiscard]] const std::set<std::string>& enabledIDs() const { return enabledIDs_; }
    /// Names of the enabled applications that run now, in `allApps` order.
    [[nodiscard]] std::vector<std::string> runningNames() const override { return runningNames_; }
    /// Told after every recomputation of the running names, changed or not, after `changed`.
    [[nodiscard]] const Signal<>& runningChecked() const override { return runningChecked_; }
    [[nodiscard]] bool knowsRunning() const override {
        return workspace_.knowsRunningApplications();
    }

    /// The built-in applications not hidden, in built-in order, then the added ones.
    [[nodiscard]] std::vector<App> allApps() const;
    [[nodiscard]] bool isEnabled(const App& app) const { return enabledIDs_.contains(app.id()); }
    void setEnabled(const App& app, bool on);
    /// Lists and enables the application at `url`; an application already listed under that
    /// identifier is enabled (and shown again if hidden) instead. False when the file cannot be
    /// read, names no identifier, or gives a name or identifier that cannot be stored (not
    /// UTF-8); nothing changes then.
    bool add(const std::string& url);
    /// Hides a built-in application or deletes an added one; either way disables it.
    void remove(const App& app);
    /// Shows every hidden built-in application again; which are enabled stays as it was.
    void restoreBuiltInApps();
    /// Where the application is installed, under the first of its identifiers that is found.
    [[nodiscard]] std::optional<std::string> applicationURL(const App& app) const;
    /// The icon of the installed application (see `Workspace::iconReference`).
    [[nodiscard]] std::optional<std::string> icon(const App& app) const;
    /// The installed applications the user may choose from to add one.
    [[nodiscard]] std::vector<Workspace::InstalledApplication> installedApplications() const {
        return workspace_.installedApplications();
    }
    /// True when an application of `allApps` counts `identifier` as its own.
    [[nodiscard]] bool lists(const std::string& identifier) const;

private:
    void loadCustomApps();
    void adoptIntoBuiltIn(const std::vector<App>& stored);
    void save();
    void refresh();

    Settings& settings_;
    Workspace& workspace_;
    Scheduler& scheduler_;
    Signal<> changed_;

    std::vector<App> customApps_;
    std::set<std::string> hiddenBuiltInIDs_;
    std::set<std::string> enabledIDs_;
    std::vector<std::string> runningNames_;
    Signal<> runningChecked_;

    // Work posted to the scheduler holds this weakly, so it does nothing once the watcher is gone.
    std::shared_ptr<RunningAppsWatcher*> self_ = std::make_shared<RunningAppsWatcher*>(this);
    std::unique_ptr<Workspace::Observation> observation_;
};

} // namespace vigilo
