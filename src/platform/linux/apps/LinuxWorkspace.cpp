#include "platform/linux/apps/LinuxWorkspace.h"

#include "platform/linux/apps/LinuxCommandFolders.h"

namespace vigilo {

LinuxWorkspace::LinuxWorkspace(std::filesystem::path procRoot, uid_t user,
                               std::set<std::string> programNames,
                               std::vector<std::filesystem::path> applicationFolders,
                               std::vector<std::filesystem::path> commandFolders,
                               QDBusConnection sessionBus, Scheduler& scheduler)
    : setup_{.procRoot = std::move(procRoot),
             .user = user,
             .programNames = std::move(programNames),
             .applicationFolders = std::move(applicationFolders)}
    , processes_(setup_.procRoot, user, setup_.programNames)
    , commandFolders_(std::move(commandFolders))
    , sessionBus_(std::move(sessionBus))
    , scheduler_(scheduler) {}

const LinuxApplicationIndex& LinuxWorkspace::installed() const {
    if (!installed_ || installed_->isOutdated()) {
        installed_ = std::make_unique<LinuxApplicationIndex>(setup_.applicationFolders);
        processes_.forgetProcesses(); // matched against the old entries
    }
    return *installed_;
}

std::set<std::string> LinuxWorkspace::runningApplicationIDs() const {
    if (const auto observed = observed_.lock()) {
        return observed->value_or(std::set<std::string>());
    }
    return processes_.runningApplicationIDs(installed());
}

bool LinuxWorkspace::knowsRunningApplications() const {
    const auto observed = observed_.lock();
    return !observed || observed->has_value();
}

std::unique_ptr<Workspace::Observation>
LinuxWorkspace::observeRunningApplications(std::function<void()> onChange) {
    auto observation = std::make_unique<LinuxRunningAppsObservation>(sessionBus_, scheduler_,
                                                                     setup_, std::move(onChange));
    observed_ = observation->running();
    return observation;
}

std::optional<std::string>
LinuxWorkspace::applicationLocation(const std::string& identifier) const {
    if (identifier.starts_with(processNamePrefix)) {
        const auto program =
            findCommand(identifier.substr(processNamePrefix.size()), commandFolders_);
        return program ? std::optional(program->string()) : std::nullopt;
    }
    const auto* application = installed().find(identifier);
    return application ? std::optional(application->path.string()) : std::nullopt;
}

std::optional<Workspace::Bundle> LinuxWorkspace::readBundle(const std::string& location) const {
    const auto entry = readDesktopEntry(location);
    if (!entry || entry->type != "Application") {
        return std::nullopt;
    }
    return Bundle{installed().desktopFileId(location), entry->localizedName, entry->name};
}

std::optional<std::string> LinuxWorkspace::iconReference(const std::string& location) const {
    // A command-line program's executable may be large, and names no icon.
    if (std::filesystem::path(location).extension() != ".desktop") {
        return std::nullopt;
    }
    const auto entry = readDesktopEntry(location);
    return entry && entry->icon && !entry->icon->empty() ? entry->icon : std::nullopt;
}

std::vector<Workspace::InstalledApplication> LinuxWorkspace::installedApplications() const {
    std::vector<InstalledApplication> shown;
    for (const auto& [id, application] : installed().applications()) {
        const auto& entry = application.entry;
        if (!entry.noDisplay) {
            shown.push_back({id, application.path.string(),
                             entry.localizedName.value_or(entry.name.value_or(id)), entry.icon});
        }
    }
    return shown;
}

} // namespace vigilo
