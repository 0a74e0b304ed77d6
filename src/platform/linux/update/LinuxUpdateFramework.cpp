#include "platform/linux/update/LinuxUpdateFramework.h"

#include "platform/linux/update/UpdatePreparation.h"
#include "util/VersionNumber.h"

#include <QtGlobal>
#include <algorithm>
#include <utility>
#include <vector>

namespace vigilo {

namespace fs = std::filesystem;

namespace {

/// The feed's releases without the one that was rolled back.
std::vector<AppcastItem> withoutRejected(std::vector<AppcastItem> items,
                                         const std::optional<std::string>& rejected) {
    if (rejected) {
        const auto rejectedNumber = VersionNumber::parse(*rejected);
        std::erase_if(items, [&rejectedNumber](const AppcastItem& item) {
            return VersionNumber::parse(item.version) == rejectedNumber;
        });
    }
    return items;
}

} // namespace

LinuxUpdateFramework::LinuxUpdateFramework(Setup setup, Services services, Relaunch relaunch)
    : setup_(std::move(setup))
    , scheduler_(services.scheduler)
    , http_(services.http)
    , processes_(services.processes)
    , relaunch_(std::move(relaunch))
    , versions_(setup_.versionsFolder)
    , rejectedVersion_(UpdateRollback::rejectedVersion(versions_)) {}

LinuxUpdateFramework::~LinuxUpdateFramework() {
    // Asks the preparation to stop and waits for it, before anything it uses goes.
    worker_ = {};
    // Quitting cleanly shows that this version works, however short its run.
    (void)UpdateRollback::confirm(versions_, setup_.runningVersion);
    if (stage_ == Stage::ready) {
        (void)switchToPrepared();
    }
}

void LinuxUpdateFramework::onMainThread(std::function<void()> work) {
    QMetaObject::invokeMethod(&mainThread_, std::move(work), Qt::QueuedConnection);
}

void LinuxUpdateFramework::start(UpdateDriver& driver) {
    driver_ = &driver;
    scheduler_.after(confirmationDelay, [this, alive = alive()] {
        if (!alive.expired() && UpdateRollback::confirm(versions_, setup_.runningVersion)) {
            driver_->showInstalledAndRelaunched([] {});
        }
    });
    if (setup_.feedUrl.empty() || setup_.publicKey.empty()) {
        qWarning("vigilo: обновления не запустились: в сборке нет адреса ленты или ключа подписи");
        return;
    }
    driver_->showPermissionRequest([this, alive = alive()](UpdatePermission permission) {
        if (alive.expired()) {
            return;
        }
        permission_ = permission;
        if (permission.automaticallyChecks) {
            scheduler_.after(firstCheckDelay, [this, alive] {
                if (!alive.expired()) {
                    checkInBackground();
                }
            });
            // The handle dies with this object, and the work with it.
            checks_ = scheduler_.every(checkInterval, [this] { checkInBackground(); });
        }
    });
}

void LinuxUpdateFramework::checkForUpdates() {
    if (driver_ == nullptr) {
        return;
    }
    if (setup_.feedUrl.empty() || setup_.publicKey.empty()) {
        userAsked_ = true;
        fail({UpdateErrorKind::unconfigured,
              "This build has no update feed or no key to check updates with"});
        return;
    }
    switch (stage_) {
    case Stage::idle:
        userAsked_ = true;
        driver_->showUserInitiatedCheck();
        check();
        return;
    case Stage::checking:
    case Stage::offered:
    case Stage::downloading:
    case Stage::preparing:
        // The user asks for the update already under way: from here on they watch it.
        userAsked_ = true;
        driver_->showUserInitiatedCheck();
        return;
    case Stage::ready:
        userAsked_ = true;
        offerInstall();
        return;
    case Stage::installing:
        return;
    }
}

void LinuxUpdateFramework::checkInBackground() {
    if (stage_ == Stage::idle) {
        userAsked_ = false;
        check();
    }
}

void LinuxUpdateFramework::check() {
    stage_ = Stage::checking;
    http_.get(setup_.feedUrl, [this, alive = alive()](const std::optional<std::string>& body) {
        if (!alive.expired()) {
            readFeed(body);
        }
    });
}

void LinuxUpdateFramework::readFeed(const std::optional<std::string>& body) {
    if (!body) {
        fail({UpdateErrorKind::network,
              "The update feed could not be loaded: no network connection"});
        return;
    }
    const auto items = AppcastFeed::parse(*body);
    if (!items) {
        fail({UpdateErrorKind::feed, "The update feed is not an appcast"});
        return;
    }
    const auto newest = AppcastFeed::newestNewerThan(withoutRejected(*items, rejectedVersion_),
                                                     setup_.runningVersion);
    if (!newest) {
        findNothing({.reason = NoUpdateReason::onLatestVersion});
        return;
    }
    if (!userAsked_ && !(permission_ && permission_->automaticallyDownloads)) {
        // Without leave to download on our own, only the user's own check fetches it.
        stage_ = Stage::idle;
        return;
    }
    update_ = newest;
    stage_ = Stage::offered;
    driver_->showUpdateFound(newest->displayVersion, [this, alive = alive()] {
        if (!alive.expired() && stage_ == Stage::offered) {
            download();
        }
    });
}

fs::path LinuxUpdateFramework::archivePath() const {
    return versions_.folder() / (std::string(InstalledVersions::workPrefix) + "download.tar.gz");
}

void LinuxUpdateFramework::download() {
    stage_ = Stage::downloading;
    driver_->showDownloadStarted();
    // The observer's calls end with the download, which ends with this object.
    download_ = std::make_unique<QtFileDownload>(
        network_, update_->url, archivePath(), largestArchive, archiveDeadlines,
        QtFileDownload::Observer{
            .expectedLength =
                [this](std::uint64_t bytes) { driver_->showDownloadExpectedLength(bytes); },
            .received = [this](std::uint64_t bytes) { driver_->showDownloadReceived(bytes); },
            .finished = [this](const std::optional<std::string>& failure) { downloaded(failure); },
        });
}

void LinuxUpdateFramework::downloaded(const std::optional<std::string>& failure) {
    std::error_code error;
    const auto size = fs::file_size(archivePath(), error);
    std::optional<std::string> problem = failure;
    if (!problem && update_->length && size != *update_->length) {
        problem = "The downloaded update has " + std::to_string(size) +
                  " bytes where the feed says " + std::to_string(*update_->length);
    }
    if (problem) {
        fs::remove(archivePath(), error);
        fail({UpdateErrorKind::download, *problem});
        return;
    }
    stage_ = Stage::preparing;
    driver_->showExtractionStarted();

    const DownloadedUpdate downloadedUpdate{.archive = archivePath(),
                                            .signature = update_->edSignature.value_or(""),
                                            .version = update_->version};
    // What stays once the update is in place: the running version, the one `current` points at
    // (to go back to), and the new one.
    std::vector<std::string> kept{update_->version, setup_.runningVersion};
    if (auto current = versions_.currentVersion()) {
        kept.push_back(std::move(*current));
    }
    const UpdateChecks checks{.publicKey = setup_.publicKey,
                              .runningVersion = setup_.runningVersion,
                              .answerTimeout = setup_.newProgramTimeout};
    worker_ = std::jthread([this, versions = versions_, downloadedUpdate, kept = std::move(kept),
                            checks](const std::stop_token& stop) {
        int reportedPercent = 0;
        const auto progress = [this, &reportedPercent](double fraction) {
            // One report per whole percent is all a progress bar can show.
            const int percent = static_cast<int>(std::clamp(fraction, 0.0, 1.0) * 100);
            if (percent > reportedPercent) {
                reportedPercent = percent;
                onMainThread([this, percent] { driver_->showExtractionProgress(percent / 100.0); });
            }
        };
        auto result =
            prepareVersion(versions, downloadedUpdate, checks, processes_, progress, stop);
        if (!result) {
            versions.removeAllBut(kept);
        }
        std::error_code ignored;
        fs::remove(downloadedUpdate.archive, ignored);
        onMainThread([this, result = std::move(result)] { prepared(result); });
    });
}

void LinuxUpdateFramework::prepared(const std::optional<UpdateError>& failure) {
    if (failure) {
        fail(*failure);
        return;
    }
    stage_ = Stage::ready;
    offerInstall();
}

void LinuxUpdateFramework::offerInstall() {
    driver_->showReadyToInstall([this, alive = alive()] {
        if (!alive.expired() && stage_ == Stage::ready) {
            install();
        }
    });
}

void LinuxUpdateFramework::install() {
    stage_ = Stage::installing;
    driver_->showInstalling();
    if (!switchToPrepared()) {
        fail({UpdateErrorKind::install, "The update could not be switched to"});
        return;
    }
    if (relaunch_) {
        relaunch_(versions_.currentProgram());
    }
}

bool LinuxUpdateFramework::switchToPrepared() {
    const auto previous = versions_.currentVersion();
    if (!previous || !UpdateRollback::recordSwitch(versions_, update_->version, *previous)) {
        return false;
    }
    if (!versions_.switchCurrent(update_->version)) {
        UpdateRollback::forgetSwitch(versions_);
        return false;
    }
    return true;
}

void LinuxUpdateFramework::fail(const UpdateError& error) {
    if (!userAsked_) {
        qWarning("vigilo: обновление не удалось: %s", error.description.c_str());
    }
    stage_ = Stage::idle;
    userAsked_ = false;
    driver_->showUpdaterError(error, [] {});
}

void LinuxUpdateFramework::findNothing(const UpdateNotFound& outcome) {
    stage_ = Stage::idle;
    userAsked_ = false;
    driver_->showUpdateNotFound(outcome, [] {});
}

} // namespace vigilo
