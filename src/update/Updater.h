#pragma once

#include "ports/Scheduler.h"
#include "ports/UpdateFramework.h"
#include "update/UpdatePhase.h"
#include "util/Signal.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace vigilo {

/// Drives the update framework: turns each step it reports into one phase the panel shows, and
/// decides when an update downloaded in the background is installed, which is only when the host
/// allows it (never while the computer is kept awake). One per process, owned by the host.
/// Main thread only.
class Updater final : public UpdateDriver {
public:
    using Phase = std::variant<UpdatePhase::Idle, UpdatePhase::Checking, UpdatePhase::UpToDate,
                               UpdatePhase::Downloading, UpdatePhase::Extracting,
                               UpdatePhase::Ready, UpdatePhase::Failed>;

    /// What the program says about itself in its about screen.
    struct ProgramInfo {
        /// Nothing when the program's version is unknown.
        std::optional<std::string> version;
        std::string copyright;
    };

    /// Starts `framework` with this object as its driver. Both services must outlive the updater.
    Updater(UpdateFramework& framework, Scheduler& scheduler, ProgramInfo info);

    /// Told after every published change.
    [[nodiscard]] const Signal<>& changed() const { return changed_; }

    [[nodiscard]] const Phase& phase() const { return phase_; }
    /// The display version of the last update found; kept for the rest of the run.
    [[nodiscard]] const std::optional<std::string>& newVersion() const { return newVersion_; }
    /// The version of an update downloaded without the user asking, waiting to be installed.
    [[nodiscard]] const std::optional<std::string>& backgroundReadyVersion() const {
        return backgroundReadyVersion_;
    }
    /// A check the user asked for, or an installation, is under way.
    [[nodiscard]] bool isUpdating() const { return isUpdating_; }

    [[nodiscard]] bool hasUpdate() const { return newVersion_.has_value(); }
    [[nodiscard]] const std::optional<std::string>& updateVersion() const { return newVersion_; }
    /// Looking for, downloading, unpacking or holding a ready update: the panel stays open.
    [[nodiscard]] bool isWorking() const;
    /// The running program's version, "?" when unknown.
    [[nodiscard]] std::string version() const { return info_.version.value_or("?"); }
    [[nodiscard]] const std::string& copyright() const { return info_.copyright; }

    /// Set once by the host: may an update be installed right now? Until set, always.
    void setCanInstallNow(std::function<bool()> canInstallNow) {
        canInstallNow_ = std::move(canInstallNow);
    }
    /// Set once by the host: called just before an installation starts, so the host can store
    /// what the relaunched program must resume.
    void setWillRelaunch(std::function<void()> willRelaunch) {
        willRelaunch_ = std::move(willRelaunch);
    }

    /// A check the user asked for. A held ready update is shown at once without asking the
    /// framework; work already under way is left alone.
    void checkForUpdates();
    /// Installs the held ready update and relaunches; nothing when none is held.
    void installNow();
    /// Installs an update the user is not watching, if the host allows it now. The host calls
    /// this on every change of the keep-awake state, so a declined install is retried.
    void installPendingIfIdle();
    /// Clears a finished result (up to date, failed) when the panel closes; work under way and a
    /// ready update stay.
    void resetAfterPanelClose();

    void showPermissionRequest(std::function<void(UpdatePermission)> reply) override;
    void showUserInitiatedCheck() override;
    void showUpdateFound(const std::string& displayVersion, Reply install) override;
    void showDownloadStarted() override;
    void showDownloadExpectedLength(std::uint64_t bytes) override;
    void showDownloadReceived(std::uint64_t bytes) override;
    void showExtractionStarted() override;
    void showExtractionProgress(double fraction) override;
    void showReadyToInstall(Reply installAndRelaunch) override;
    void showInstalling() override;
    void showInstalledAndRelaunched(Reply acknowledge) override;
    void showUpdateNotFound(const UpdateNotFound& outcome, Reply acknowledge) override;
    void showUpdaterError(const UpdateError& error, Reply acknowledge) override;
    void dismissUpdateInstallation() override;
    [[nodiscard]] bool willInstallOnQuit(Reply installNow) override;

private:
    void setPhase(Phase phase);
    void setUpdating(bool isUpdating);
    void setBackgroundReadyVersion(std::optional<std::string> version);
    /// The user's activity has ended, however it ended.
    void finish();
    /// The download phase for the bytes counted so far, when the user watches.
    void showDownloadProgress();
    /// Takes the held ready reply and installs through it.
    void installHeldReply();

    UpdateFramework& framework_;
    Scheduler& scheduler_;
    ProgramInfo info_;
    Signal<> changed_;
    /// Work posted to the event loop checks this to know the updater still exists.
    std::shared_ptr<int> lifetime_ = std::make_shared<int>();

    Phase phase_;
    std::optional<std::string> newVersion_;
    std::optional<std::string> backgroundReadyVersion_;
    bool isUpdating_ = false;

    /// The current activity was started by the user, so its progress is shown.
    bool isUserInitiated_ = false;
    /// The framework's install-and-relaunch answer, held until the update is installed; empty
    /// when none is held.
    Reply readyReply_;
    /// The framework's immediate install of an update it would otherwise install at quit; empty
    /// when none is held.
    Reply pendingInstall_;
    std::uint64_t expectedLength_ = 0;
    std::uint64_t receivedLength_ = 0;
    std::function<bool()> canInstallNow_ = [] { return true; };
    std::function<void()> willRelaunch_ = [] {};
};

} // namespace vigilo
