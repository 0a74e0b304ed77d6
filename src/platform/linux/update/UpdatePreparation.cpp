#include "platform/linux/update/UpdatePreparation.h"

#include "platform/linux/update/UpdateArchive.h"
#include "platform/linux/update/UpdateSignature.h"
#include "platform/posix/DiskSync.h"
#include "util/ArchiveEntries.h"
#include "util/VersionNumber.h"

#include <cstdlib>
#include <string_view>
#include <unistd.h>
#include <utility>

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

/// The release number on the first line of the program's `--version` output, "vigilo 1.2.0";
/// nothing when the line says anything else.
std::optional<std::string> reportedVersion(std::string_view output) {
    constexpr std::string_view prefix = "vigilo ";
    const std::string_view line = output.substr(0, output.find('\n'));
    if (!line.starts_with(prefix) || !VersionNumber::parse(line.substr(prefix.size()))) {
        return std::nullopt;
    }
    return std::string(line.substr(prefix.size()));
}

/// Why the program cannot take over, or nothing: it must start on this system (its libraries
/// load and it answers in time), and report the feed's release, newer than the running one.
/// The feed's number is not signed, the program is: an old release offered under a new number
/// is caught here.
std::optional<std::string> programProblem(const fs::path& program, const std::string& version,
                                          const UpdateChecks& checks, ProcessRunner& processes,
                                          const std::stop_token& stop) {
    const std::string doesNotStart = "The program in the update archive does not start";
    if (!fs::is_regular_file(program) || ::access(program.c_str(), X_OK) != 0) {
        return doesNotStart;
    }
    const auto result = processes.runWithin(program.string(), {"--version"},
                                            {.timeout = checks.answerTimeout, .stop = stop});
    if (result && result->killed) {
        const auto seconds = std::chrono::ceil<std::chrono::seconds>(checks.answerTimeout);
        return "The program in the update archive did not answer within " +
               std::to_string(seconds.count()) + " s";
    }
    if (!result || result->exitStatus != 0) {
        return doesNotStart;
    }
    const auto reported = reportedVersion(result->standardOutput);
    if (!reported) {
        return "The program in the update archive does not report its version";
    }
    const auto reportedNumber = VersionNumber::parse(*reported);
    if (reportedNumber != VersionNumber::parse(version)) {
        return "The program in the update archive reports version " + *reported + ", not " +
               version;
    }
    const auto running = VersionNumber::parse(checks.runningVersion);
    if (!running || *reportedNumber <= *running) {
        return "The program in the update archive is not newer than the running version " +
               checks.runningVersion;
    }
    return std::nullopt;
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
    // The new name reaches the disk before anything is switched to it.
    return !error && unpacked.moveTo(target) && syncToDisk(versions.folder());
}

} // namespace

std::optional<UpdateError> prepareVersion(const InstalledVersions& versions,
                                          const DownloadedUpdate& update,
                                          const UpdateChecks& checks, ProcessRunner& processes,
                                          const std::function<void(double)>& progress,
                                          const std::stop_token& stop) {
    if (!UpdateSignature::isSignedBy(update.archive, update.signature, checks.publicKey)) {
        return UpdateError{UpdateErrorKind::signature,
                           "The downloaded update is not signed with the key this program trusts"};
    }
    const auto entries = UpdateArchive::list(update.archive);
    if (!entries) {
        return UpdateError{UpdateErrorKind::archive, "The update archive cannot be read"};
    }
    if (!staysInsideFolder(*entries)) {
        return UpdateError{UpdateErrorKind::archive,
                           "The update archive has entries that lead outside its folder"};
    }
    WorkFolder unpacked(versions, "unpack");
    if (unpacked.path().empty()) {
        return UpdateError{UpdateErrorKind::install,
                           "No folder for the update can be made next to the installed versions"};
    }
    if (!UpdateArchive::extract(update.archive, unpacked.path(), progress, stop)) {
        return UpdateError{UpdateErrorKind::archive,
                           "The update archive could not be unpacked whole (is the disk full?)"};
    }
    if (auto problem = programProblem(unpacked.path() / "bin" / "vigilo", update.version, checks,
                                      processes, stop)) {
        return UpdateError{UpdateErrorKind::program, std::move(*problem)};
    }
    if (!putInPlace(versions, unpacked, versions.folderOf(update.version))) {
        return UpdateError{UpdateErrorKind::install,
                           "The update could not be moved next to the installed versions"};
    }
    return std::nullopt;
}

} // namespace vigilo
