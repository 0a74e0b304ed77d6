#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vigilo {

/// How the program answers the framework's question about background updates.
struct UpdatePermission {
    bool automaticallyChecks = false;
    bool automaticallyDownloads = false;
    bool sendsSystemProfile = false;
};

/// Why a check found no update. The values are the framework's own codes (an adapter passes any
/// other code it receives through unchanged).
enum class NoUpdateReason : std::int32_t {
    unknown = 0,
    onLatestVersion = 1,
    onNewerThanLatestVersion = 2,
    systemIsTooOld = 3,
    systemIsTooNew = 4,
};

/// A check that found nothing to install.
struct UpdateNotFound {
    /// Nothing when the framework gave no reason code.
    std::optional<NoUpdateReason> reason;
};

/// Which step of a check, a download or an installation failed.
enum class UpdateErrorKind {
    /// The build has no feed or no key to check updates with.
    unconfigured,
    /// The feed could not be fetched.
    network,
    /// The feed arrived but is not one the framework reads.
    feed,
    /// The update's archive did not arrive whole.
    download,
    /// The archive is not signed with the key the program trusts.
    signature,
    /// The archive cannot be read or unpacked, or has entries that lead outside its folder.
    archive,
    /// The program in the archive does not start, or is not the release offered.
    program,
    /// The prepared update could not be put in place or switched to.
    install,
};

/// A check, download or installation that failed.
struct UpdateError {
    UpdateErrorKind kind;
    /// The framework's own account, in whatever language it speaks: for the system log, never
    /// shown to the user.
    std::string description;
};

/// The side of the update framework that shows each step of an update. The framework calls it
/// on the main thread, in the order of an update: found, download (started, length, data),
/// extraction, ready, installing, installed. Callbacks a driver has no use for (release notes,
/// "bring the update to the front", the cancellation handles of a check or a download) stay in
/// the adapter.
class UpdateDriver {
public:
    /// Answers the framework's question; a dropped answer is never given.
    using Reply = std::function<void()>;

    virtual ~UpdateDriver() = default;

    /// The framework asks whether it may check for and download updates on its own.
    virtual void showPermissionRequest(std::function<void(UpdatePermission)> reply) = 0;
    /// A check the user asked for has started.
    virtual void showUserInitiatedCheck() = 0;
    /// A newer version was found; `displayVersion` is the version shown to people.
    /// `install` lets the framework download and prepare it.
    virtual void showUpdateFound(const std::string& displayVersion, Reply install) = 0;
    /// Downloading has started; no size is known yet.
    virtual void showDownloadStarted() = 0;
    /// The download's total size in bytes.
    virtual void showDownloadExpectedLength(std::uint64_t bytes) = 0;
    /// `bytes` more have arrived.
    virtual void showDownloadReceived(std::uint64_t bytes) = 0;
    /// Unpacking of the downloaded update has started.
    virtual void showExtractionStarted() = 0;
    /// Unpacking has reached `fraction` (0 to 1).
    virtual void showExtractionProgress(double fraction) = 0;
    /// The update is unpacked and checked; `installAndRelaunch` replaces the running program and
    /// starts the new one. If never called, the framework installs it when the program quits.
    virtual void showReadyToInstall(Reply installAndRelaunch) = 0;
    /// Installation has started; the program is about to end.
    virtual void showInstalling() = 0;
    /// The new version runs; `acknowledge` lets the framework finish.
    virtual void showInstalledAndRelaunched(Reply acknowledge) = 0;
    /// A check found nothing to install; `acknowledge` lets the framework finish.
    virtual void showUpdateNotFound(const UpdateNotFound& outcome, Reply acknowledge) = 0;
    /// A check, download or installation failed.
    virtual void showUpdaterError(const UpdateError& error, Reply acknowledge) = 0;
    /// The framework gave up on the update under way (cancelled or superseded).
    virtual void dismissUpdateInstallation() = 0;
    /// The framework would install a downloaded update when the program quits. `installNow`
    /// installs it (and relaunches) at once. Returns whether the driver takes charge of the
    /// moment of installation; false leaves the framework to its own plan.
    [[nodiscard]] virtual bool willInstallOnQuit(Reply installNow) = 0;
};

/// A software-update framework: finds, downloads, verifies, unpacks and installs new versions of
/// the program, reporting each step to its driver. Main thread only.
class UpdateFramework {
public:
    virtual ~UpdateFramework() = default;
    /// Starts checking for and downloading updates in the background, on the framework's own
    /// schedule, reporting to `driver`. The driver is called on the main thread and never from
    /// this object's destructor, so it must live while the event loop runs. A
    /// framework that cannot start writes one line to the system log and stays usable: its
    /// checks then report errors.
    virtual void start(UpdateDriver& driver) = 0;
    /// A check the user asked for; its steps are reported to the driver.
    virtual void checkForUpdates() = 0;
};

} // namespace vigilo
