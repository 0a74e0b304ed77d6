#pragma once

#include "platform/linux/apps/LinuxApplicationIndex.h"
#include "platform/linux/apps/LinuxProcessApps.h"
#include "platform/linux/apps/LinuxRunningAppsObservation.h"
#include "ports/Scheduler.h"
#include "ports/Workspace.h"

#include <QDBusConnection>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vigilo {

/// The desktop's applications on Linux. An application's identifier is its desktop-file id, or
/// "process:<name>" for the built-in applications' command-line programs; an application file is
/// a desktop entry (".desktop"), or the executable of such a program.
class LinuxWorkspace final : public Workspace {
public:
    /// Reads processes below `procRoot` that belong to `user`, looking among them for the
    /// command-line programs named `programNames` (the built-in applications'), installed
    /// applications from `applicationFolders` (most important first, see `xdgApplicationFolders`),
    /// installed command-line programs from `commandFolders` (see `commandFolders()`), and unit
    /// signals of the systemd user manager on `sessionBus`; observations look on `scheduler`'s
    /// heartbeat, which must outlive them.
    LinuxWorkspace(std::filesystem::path procRoot, uid_t user, std::set<std::string> programNames,
                   std::vector<std::filesystem::path> applicationFolders,
                   std::vector<std::filesystem::path> commandFolders, QDBusConnection sessionBus,
                   Scheduler& scheduler);

    /// While observed, what the observation's latest look found (nothing until its first look
    /// is in); else a look taken on the calling thread.
    [[nodiscard]] std::set<std::string> runningApplicationIDs() const override;
    /// False while the first look of the latest observation is under way.
    [[nodiscard]] bool knowsRunningApplications() const override;
    /// Notices from the systemd user manager where it answers, and a look on every heartbeat
    /// (see `LinuxRunningAppsObservation`). The observation must not outlive the workspace.
    [[nodiscard]] std::unique_ptr<Observation>
    observeRunningApplications(std::function<void()> onChange) override;
    /// The desktop entry; for "process:<name>", the executable called so in the command
    /// folders.
    [[nodiscard]] std::optional<std::string>
    applicationLocation(const std::string& identifier) const override;
    /// The entry must be of type Application; its id comes from its place below the
    /// application folders (else its file name), its names from Name[ru] and Name.
    [[nodiscard]] std::optional<Bundle> readBundle(const std::string& location) const override;
    /// The entry's Icon value; nothing for a command-line program.
    [[nodiscard]] std::optional<std::string>
    iconReference(const std::string& location) const override;
    /// The shown desktop entries, by Name[ru], else Name, else id.
    [[nodiscard]] std::vector<InstalledApplication> installedApplications() const override;

private:
    // Installing or removing software changes the folders; the index is read again then only.
    const LinuxApplicationIndex& installed() const;

    LinuxRunningAppsObservation::Setup setup_;
    LinuxProcessApps processes_;
    std::vector<std::filesystem::path> commandFolders_;
    QDBusConnection sessionBus_;
    Scheduler& scheduler_;
    mutable std::unique_ptr<LinuxApplicationIndex> installed_;
    /// The answers of the latest observation, while it lives.
    std::weak_ptr<const LinuxRunningAppsObservation::Running> observed_;
};

} // namespace vigilo
