#include "platform/linux/update/LinuxInstallation.h"

#include <iterator>
#include <unistd.h>

namespace vigilo {

namespace {

/// `path` lies inside `folder` (both already made canonical).
bool isInside(const std::filesystem::path& path, const std::filesystem::path& folder) {
    const auto relative = path.lexically_relative(folder);
    return !relative.empty() && *relative.begin() != "..";
}

} // namespace

LinuxInstallation::LinuxInstallation(const std::filesystem::path& executable,
                                     const std::filesystem::path& home) {
    std::error_code error;
    const auto program = std::filesystem::canonical(executable, error);
    const auto versions = std::filesystem::canonical(versionsFolder(home), error);
    // The version folder is replaced as a whole, so it is the versions folder that must be
    // writable, not just the program's own.
    canSelfUpdate_ = !error && isInside(program, versions) && ::access(versions.c_str(), W_OK) == 0;
    launcher_ = executable;
    if (canSelfUpdate_) {
        // "<version>/bin/vigilo" inside the versions folder becomes "current/bin/vigilo".
        launcher_ = versionsFolder(home) / "current";
        const auto inVersions = program.lexically_relative(versions);
        for (auto part = std::next(inVersions.begin()); part != inVersions.end(); ++part) {
            launcher_ /= *part;
        }
    }
}

} // namespace vigilo
