#pragma once

#include "platform/linux/LinuxApplicationIndex.h"

#include <filesystem>
#include <set>
#include <string>
#include <sys/types.h>

namespace vigilo {

/// Finds which applications a user's processes belong to, from a /proc tree.
class LinuxProcessApps {
public:
    /// Reads the processes below `procRoot` ("/proc") that belong to the user `user`.
    LinuxProcessApps(std::filesystem::path procRoot, uid_t user);

    /// The desktop-file ids of the applications the user's processes belong to. A process counts
    /// by the first of: its systemd application unit, its Flatpak sandbox, its Snap unit, its
    /// executable matched against the installed entries.
    [[nodiscard]] std::set<std::string>
    runningApplicationIDs(const LinuxApplicationIndex& installed) const;

private:
    void addApplicationIDs(const std::filesystem::path& process,
                           const LinuxApplicationIndex& installed,
                           std::set<std::string>& ids) const;

    std::filesystem::path procRoot_;
    uid_t user_;
};

} // namespace vigilo
