#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vigilo {

/// The folder of a per-user install (`~/.local/lib/vigilo`): one folder per version, named by its
/// release number, and the symbolic link `current` to the one that starts. The updater's work in
/// progress lies beside them under names starting with `workPrefix`, never taken for versions.
class InstalledVersions {
public:
    static constexpr std::string_view workPrefix = ".update-";

    explicit InstalledVersions(std::filesystem::path folder)
        : folder_(std::move(folder)) {}

    [[nodiscard]] const std::filesystem::path& folder() const { return folder_; }
    [[nodiscard]] std::filesystem::path folderOf(const std::string& version) const {
        return folder_ / version;
    }
    /// The program that starts through `current`, as `~/.local/bin/vigilo` starts it.
    [[nodiscard]] std::filesystem::path currentProgram() const {
        return folder_ / "current" / "bin" / "vigilo";
    }

    /// The name of the version folder `current` points at; nothing when it is not a link.
    [[nodiscard]] std::optional<std::string> currentVersion() const;
    /// Points `current` at `version` in one step: a link made under another name is renamed over
    /// it, so a start at any moment finds either the old or the new version; the folder is synced
    /// to the disk before and after. False when the link could not be replaced; `current` is
    /// then as it was.
    [[nodiscard]] bool switchCurrent(const std::string& version) const;
    /// Removes every version folder and every leftover of unfinished work except the versions in
    /// `kept` ("1.2" keeps a folder named "1.2.0" too). Anything else (`current`, files of other
    /// names) stays. Takes as long as the removed folders are large: not on the main thread.
    void removeAllBut(const std::vector<std::string>& kept) const;

private:
    std::filesystem::path folder_;
};

} // namespace vigilo
