#pragma once

#include "ports/Workspace.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vigilo {

/// The Mac's applications through NSWorkspace: an application is known by its bundle
/// identifier, and its file is its ".app" bundle. Main thread only.
class MacWorkspace final : public Workspace {
public:
    /// Offers the applications in `applicationFolders` (see `standardApplicationFolders`) to the
    /// chooser, and keeps the icons it has to draw itself in `iconCacheFolder`, made when needed.
    MacWorkspace(std::vector<std::filesystem::path> applicationFolders,
                 std::filesystem::path iconCacheFolder);
    ~MacWorkspace() override;
    MacWorkspace(const MacWorkspace&) = delete;
    MacWorkspace& operator=(const MacWorkspace&) = delete;

    [[nodiscard]] std::set<std::string> runningApplicationIDs() const override;
    /// Observes NSWorkspace's list of running applications; each change reaches `onChange` one
    /// pass of the main run loop later.
    [[nodiscard]] std::unique_ptr<Observation>
    observeRunningApplications(std::function<void()> onChange) override;
    [[nodiscard]] std::optional<std::string>
    applicationLocation(const std::string& identifier) const override;
    /// The bundle's identifier, its localised "CFBundleDisplayName" and its "CFBundleName".
    [[nodiscard]] std::optional<Bundle> readBundle(const std::string& location) const override;
    /// The icon NSWorkspace shows for the application, drawn into the cache folder as a PNG
    /// once for each version of the application.
    [[nodiscard]] std::optional<std::string>
    iconReference(const std::string& location) const override;
    /// The bundles in the application folders that have an identifier, the first of each
    /// identifier only; agents and background-only applications are left out. Read again only
    /// after the folders changed.
    [[nodiscard]] std::vector<InstalledApplication> installedApplications() const override;

private:
    struct Installed;

    std::vector<std::filesystem::path> applicationFolders_;
    std::filesystem::path iconCacheFolder_;
    mutable std::unique_ptr<Installed> installed_;
};

} // namespace vigilo
