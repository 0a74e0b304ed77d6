#pragma once

#include "ports/Installation.h"

#include <filesystem>

namespace vigilo {

/// A Linux installation: a per-user install keeps each version in
/// `~/.local/lib/vigilo/<version>/`, with `current` pointing at the running one; only such an
/// install, writable by the user, updates itself. Anything else (a package in /usr, a build
/// folder) does not.
class LinuxInstallation final : public Installation {
public:
    /// `executable` is the running program's path; `home` the user's home folder.
    LinuxInstallation(const std::filesystem::path& executable, const std::filesystem::path& home);

    [[nodiscard]] bool canSelfUpdate() const override { return canSelfUpdate_; }
    /// How to start the program in later sessions (launch at login): for a per-user install the
    /// program through `current`, since an update removes the running version's folder;
    /// otherwise the running program itself.
    [[nodiscard]] const std::filesystem::path& launcher() const { return launcher_; }

    /// The folder that holds the versions of a per-user install.
    [[nodiscard]] static std::filesystem::path versionsFolder(const std::filesystem::path& home) {
        return home / ".local/lib/vigilo";
    }

private:
    bool canSelfUpdate_;
    std::filesystem::path launcher_;
};

} // namespace vigilo
