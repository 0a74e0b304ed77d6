#include "platform/linux/UpdatePreparation.h"

#include "platform/linux/UpdateArchive.h"
#include "platform/linux/UpdateSignature.h"
#include "update/ArchiveEntries.h"

#include <cstdlib>
#include <unistd.h>

namespace vigilo {

namespace fs = std::filesystem;

namespace {

/// A new, empty folder beside the versions with a name no one else uses, removed with all in it
/// unless it has been moved away.
class WorkFolder {
public:
    WorkFolder(const InstalledVersions& versions, std::string_view purpose) {
        std::string name = (versions.folder() / InstalledVersions::workPrefix).string();
        name.append(purpose).append("-XXXXXX");
        if (::mkdtemp(name.data()) != nullptr) {
            path_ = name;
        }
    }
    ~WorkFolder() {
        std::error_code ignored;
        if (!path_.empty()) {
            fs::remove_all(path_, ignored);
        }
    }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    /// Empty when the folder could not be made.
    [[nodiscard]] const fs::path& path() const { return path_; }

    /// Moves the folder to `target`, which must not exist or be an empty folder.
    [[nodiscard]] bool moveTo(const fs::path& target) {
        std::error_code error;
        fs::rename(path_, target, error);
        if (error) {
            return false;
        }
        path_.clear();
        return true;
    }

private:
    fs::path path_;
};

/// The program starts on this system: its libraries load and it answers.
bool starts(const fs::path& program, ProcessRunner& processes) {
    if (!fs::is_regular_file(program) || ::access(program.c_str(), X_OK) != 0) {
        return false;
    }
    const auto result = processes.run(program.string(), {"--version"});
    return result && result->exitStatus == 0;
}

/// Puts `unpacked` at `target`; an older copy of the same version there (left by an update that
/// was never switched to) goes.
bool putInPlace(const InstalledVersions& versions, WorkFolder& unpacked, const fs::path& target) {
    std::error_code unknown;
    // Not there is the usual case; a status that cannot be read fails at the rename.
    const auto existing = fs::symlink_status(target, unknown);
    std::error_code error;
    if (fs::is_directory(existing)) {
        // Renamed out of the way first: a half-removed copy under the version's name would look
        // like an installed version.
        const WorkFolder replaced(versions, "replaced");
        fs::rename(target, replaced.path(), error);
    } else if (fs::exists(existing)) {
        fs::remove(target, error);
    }
    return !error && unpacked.moveTo(target);
}

} // namespace

std::optional<std::string> prepareVersion(const InstalledVersions& versions,
                                          const DownloadedUpdate& update,
                                          const std::string& publicKey, ProcessRunner& processes,
                                          const std::function<void(double)>& progress,
                                          const std::stop_token& stop) {
    if (!UpdateSignature::isSignedBy(update.archive, update.signature, publicKey)) {
        return "The downloaded update is not signed with the key this program trusts";
    }
    const auto entries = UpdateArchive::list(update.archive);
    if (!entries) {
        return "The update archive cannot be read";
    }
    if (!staysInsideFolder(*entries)) {
        return "The update archive has entries that lead outside its folder";
    }
    WorkFolder unpacked(versions, "unpack");
    if (unpacked.path().empty()) {
        return "No folder for the update can be made next to the installed versions";
    }
    if (!UpdateArchive::extract(update.archive, unpacked.path(), progress, stop)) {
        return "The update archive could not be unpacked";
    }
    if (!starts(unpacked.path() / "bin" / "vigilo", processes)) {
        return "The program in the update archive does not start";
    }
    if (!putInPlace(versions, unpacked, versions.folderOf(update.version))) {
        return "The update could not be moved next to the installed versions";
    }
    return std::nullopt;
}

} // namespace vigilo
