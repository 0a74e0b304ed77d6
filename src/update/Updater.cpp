#include "update/Updater.h"

#include <algorithm>
#include <utility>

namespace vigilo {

namespace {

constexpr const char* checkFailedText = "Не удалось проверить обновления. Попробуй ещё раз позже.";

/// What the user reads when `kind` of step failed.
std::string failureText(UpdateErrorKind kind) {
    switch (kind) {
    case UpdateErrorKind::network:
        return "Нет соединения с интернетом. Проверь сеть и попробуй ещё раз.";
    case UpdateErrorKind::download:
        return "Не удалось скачать обновление. Проверь соединение и попробуй ещё раз.";
    case UpdateErrorKind::unconfigured:
    case UpdateErrorKind::feed:
    case UpdateErrorKind::signature:
    case UpdateErrorKind::archive:
    case UpdateErrorKind::program:
    case UpdateErrorKind::install:
        return checkFailedText;
    }
    // A value no kind has, which a framework might pass on from a newer version of itself.
    return checkFailedText;
}

} // namespace

Updater::Updater(UpdateFramework& framework, Scheduler& scheduler, ProgramInfo info)
    : framework_(framework)
    , scheduler_(scheduler)
    , info_(std::move(info)) {
    framework_.start(*this);
}

bool Updater::isWorking() const {
    return std::holds_alternative<UpdatePhase::Checking>(phase_) ||
           std::holds_alternative<UpdatePhase::Downloading>(phase_) ||
           std::holds_alternative<UpdatePhase::Extracting>(phase_) ||
           std::holds_alternative<UpdatePhase::Ready>(phase_);
}

void Updater::setPhase(Phase phase) {
    phase_ = std::move(phase);
    changed_.notify();
}

void Updater::setUpdating(bool isUpdating) {
    isUpdating_ = isUpdating;
    changed_.notify();
}

void Updater::setBackgroundReadyVersion(std::optional<std::string> version) {
    backgroundReadyVersion_ = std::move(version);
    changed_.notify();
}

void Updater::finish() {
    setUpdating(false);
    isUserInitiated_ = false;
}

void Updater::checkForUpdates() {
    if (readyReply_) {
        // The update is already downloaded: asking the framework again would only find it anew.
        isUserInitiated_ = true;
        setUpdating(true);
        setPhase(UpdatePhase::Ready{});
        return;
    }
    if (isWorking()) {
        return;
    }
    isUserInitiated_ = true;
    setUpdating(true);
    setPhase(UpdatePhase::Checking{});
    framework_.checkForUpdates();
}

void Updater::installNow() {
    if (readyReply_) {
        installHeldReply();
    }
}

void Updater::installPendingIfIdle() {
    if (pendingInstall_ && canInstallNow_()) {
        auto install = std::exchange(pendingInstall_, nullptr);
        willRelaunch_();
        install();
        return;
    }
    // An update the user watches waits for their own click on "install".
    if (readyReply_ && !isUserInitiated_ && canInstallNow_()) {
        installHeldReply();
    }
}

void Updater::installHeldReply() {
    auto reply = std::exchange(readyReply_, nullptr);
    setBackgroundReadyVersion(std::nullopt);
    willRelaunch_();
    reply();
}

void Updater::resetAfterPanelClose() {
    const bool isFinished = std::holds_alternative<UpdatePhase::Idle>(phase_) ||
                            std::holds_alternative<UpdatePhase::UpToDate>(phase_) ||
                            std::holds_alternative<UpdatePhase::Failed>(phase_);
    if (isFinished) {
        setPhase(UpdatePhase::Idle{});
        finish();
    }
}

void Updater::showPermissionRequest(std::function<void(UpdatePermission)> reply) {
    // Updates are the program's own business: the user is never asked.
    reply(UpdatePermission{
        .automaticallyChecks = true, .automaticallyDownloads = true, .sendsSystemProfile = false});
}

void Updater::showUserInitiatedCheck() {
    isUserInitiated_ = true;
    setUpdating(true);
    setPhase(UpdatePhase::Checking{});
}

void Updater::showUpdateFound(const std::string& displayVersion, Reply install) {
    newVersion_ = displayVersion;
    changed_.notify();
    if (isUserInitiated_) {
        expectedLength_ = 0;
        receivedLength_ = 0;
        setPhase(UpdatePhase::Downloading{});
    }
    // Every update found is downloaded; when it is installed is decided once it is ready.
    install();
}

void Updater::showDownloadStarted() {
    expectedLength_ = 0;
    receivedLength_ = 0;
    if (isUserInitiated_) {
        setPhase(UpdatePhase::Downloading{});
    }
}

void Updater::showDownloadExpectedLength(std::uint64_t bytes) {
    expectedLength_ = bytes;
    showDownloadProgress();
}

void Updater::showDownloadReceived(std::uint64_t bytes) {
    receivedLength_ += bytes;
    showDownloadProgress();
}

void Updater::showDownloadProgress() {
    if (!isUserInitiated_) {
        return;
    }
    if (expectedLength_ == 0) {
        setPhase(UpdatePhase::Downloading{});
        return;
    }
    // A server may send more than it announced; the bar never runs past full.
    const double fraction =
        static_cast<double>(receivedLength_) / static_cast<double>(expectedLength_);
    setPhase(UpdatePhase::Downloading{std::min(fraction, 1.0)});
}

void Updater::showExtractionStarted() {
    if (isUserInitiated_) {
        setPhase(UpdatePhase::Extracting{0});
    }
}

void Updater::showExtractionProgress(double fraction) {
    if (isUserInitiated_) {
        setPhase(UpdatePhase::Extracting{fraction});
    }
}

void Updater::showReadyToInstall(Reply installAndRelaunch) {
    // A reply held from an earlier download is superseded and never answered.
    readyReply_ = std::move(installAndRelaunch);
    setUpdating(false);
    if (isUserInitiated_) {
        setPhase(UpdatePhase::Ready{});
        return;
    }
    setBackgroundReadyVersion(newVersion_);
    setPhase(UpdatePhase::Idle{});
    installPendingIfIdle();
}

void Updater::showInstalling() {
    setUpdating(true);
    isUserInitiated_ = false;
}

void Updater::showInstalledAndRelaunched(Reply acknowledge) {
    setPhase(UpdatePhase::Idle{});
    setBackgroundReadyVersion(std::nullopt);
    finish();
    acknowledge();
}

void Updater::showUpdateNotFound(const UpdateNotFound& outcome, Reply acknowledge) {
    if (isUserInitiated_) {
        const bool isCurrent = outcome.reason == NoUpdateReason::onLatestVersion ||
                               outcome.reason == NoUpdateReason::onNewerThanLatestVersion;
        if (isCurrent) {
            setPhase(UpdatePhase::UpToDate{});
        } else {
            setPhase(UpdatePhase::Failed{checkFailedText});
        }
        finish();
    }
    acknowledge();
}

void Updater::showUpdaterError(const UpdateError& error, Reply acknowledge) {
    if (isUserInitiated_) {
        setPhase(UpdatePhase::Failed{failureText(error.kind)});
        finish();
    }
    acknowledge();
}

void Updater::dismissUpdateInstallation() {
    const bool isInProgress = std::holds_alternative<UpdatePhase::Checking>(phase_) ||
                              std::holds_alternative<UpdatePhase::Downloading>(phase_) ||
                              std::holds_alternative<UpdatePhase::Extracting>(phase_);
    if (isInProgress) {
        setPhase(UpdatePhase::Idle{});
        finish();
    }
}

bool Updater::willInstallOnQuit(Reply installNow) {
    if (readyReply_) {
        return false;
    }
    pendingInstall_ = std::move(installNow);
    scheduler_.post([this, alive = std::weak_ptr(lifetime_)] {
        if (!alive.expired()) {
            installPendingIfIdle();
        }
    });
    return true;
}

} // namespace vigilo
