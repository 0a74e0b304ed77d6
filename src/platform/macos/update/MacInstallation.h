#pragma once

#include "ports/Installation.h"

#include <filesystem>

namespace vigilo {

/// A Mac application bundle. It replaces itself (through the update framework) when it runs as
/// a bundle from a folder the user can write, such as /Applications for an administrator or
/// ~/Applications; not from a mounted disk image under /Volumes, not from the copy the system
/// runs in a randomised location for a freshly downloaded program, and not from a build folder
/// outside any bundle.
class MacInstallation final : public Installation {
public:
    /// `bundle` is the running program's ".app" folder.
    explicit MacInstallation(const std::filesystem::path& bundle);

    [[nodiscard]] bool canSelfUpdate() const override { return canSelfUpdate_; }

    /// The bundle that holds the executable at `executable` (".app/Contents/MacOS/<name>"), or
    /// an empty path when it lies in no bundle.
    [[nodiscard]] static std::filesystem::path bundleOf(const std::filesystem::path& executable);

private:
    bool canSelfUpdate_;
};

} // namespace vigilo
