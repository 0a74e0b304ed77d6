#pragma once

#include "platform/linux/update/AppcastFeed.h"
#include "platform/linux/update/InstalledVersions.h"
#include "platform/linux/update/UpdateRollback.h"
#include "platform/qt/QtFileDownload.h"
#include "ports/HttpGet.h"
#include "ports/ProcessRunner.h"
#include "ports/Scheduler.h"
#include "ports/UpdateFramework.h"

#include <QNetworkAccessManager>
#include <QObject>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

// The self-update test builds the program with a shorter wait before the first automatic check
// (-DVIGILO_FIRST_UPDATE_CHECK_DELAY=<seconds> on the sources that include this header), so that
// it need not wait a minute after each start.
#ifndef VIGILO_FIRST_UPDATE_CHECK_DELAY
#define VIGILO_FIRST_UPDATE_CHECK_DELAY 60
#endif

namespace vigilo {

/// Updates a per-user install (`InstalledVersions`) from an appcast: checks the feed on a schedule
/// and when asked, downloads the newest newer release into the versions folder, checks its
/// signature and unpacks it off the main thread, switches `current` to it when the driver says
/// so, and has the program relaunched. The version it replaces stays; a new version confirms its
/// start (see `UpdateRollback`) once it has run a while or when it quits cleanly. Made only for
/// a program that may replace itself (see `Installation`). Main thread only.
class LinuxUpdateFramework final : public UpdateFramework {
public:
    /// Where updates come from and what they replace.
    struct Setup {
        /// The appcast's address; empty in a build without one.
        std::string feedUrl;
        /// The Base64 Ed25519 public key that signs the archives; empty in a build without one,
        /// and then nothing is ever installed.
        std::string publicKey;
        /// The running program's release number.
        std::string runningVersion;
        /// The versions folder of a per-user install.
        std::filesystem::path versionsFolder;
        /// How long the new program may take to answer `--version` before the update fails.
        std::chrono::milliseconds newProgramTimeout = std::chrono::seconds(30);
    };
    struct Services {
        Scheduler& scheduler;
        HttpGet& http;
        /// Runs the new program once before it is switched to; used from a worker thread.
        ProcessRunner& processes;
    };
    /// Ends the program and starts `program` in its place once the program has let go of what
    /// it holds (its instance lock above all). Called on the main thread.
    using Relaunch = std::function<void(const std::filesystem::path& program)>;

    /// How long after the start the first automatic check runs, in seconds.
    static constexpr double firstCheckDelay = VIGILO_FIRST_UPDATE_CHECK_DELAY;
    /// Automatic checks after the first, in seconds.
    static constexpr double checkInterval = 24.0 * 60 * 60;
    /// How long a freshly installed version must run, unless it quits before, to be kept, in
    /// seconds.
    static constexpr double confirmationDelay = 30;
    /// The whole program with its resources packs into far less; anything larger is not an update.
    static constexpr std::uint64_t largestArchive = std::uint64_t{256} << 20U;
    /// Even over a slow line the largest archive arrives well within the whole.
    static constexpr TransferDeadlines archiveDeadlines{.idle = std::chrono::minutes(1),
                                                        .total = std::chrono::minutes(30)};

    /// The start itself has been recorded before (`UpdateRollback::atStart`).
    LinuxUpdateFramework(Setup setup, Services services, Relaunch relaunch);
    /// Runs as the program quits cleanly: confirms the start of a freshly installed version, and
    /// stops the preparation under way (killing the new program if it is being run) and waits for
    /// it. An update that is ready but was never installed is switched to now, to start next
    /// time.
    ~LinuxUpdateFramework() override;
    LinuxUpdateFramework(const LinuxUpdateFramework&) = delete;
    LinuxUpdateFramework& operator=(const LinuxUpdateFramework&) = delete;

    void start(UpdateDriver& driver) override;
    void checkForUpdates() override;

private:
    /// Where the one update under way is; each stage waits for one event.
    enum class Stage { idle, checking, offered, downloading, preparing, ready, installing };

    /// Expires with this object: what the scheduler, the network and the driver call later
    /// checks it first.
    [[nodiscard]] std::weak_ptr<int> alive() const { return lifetime_; }
    /// Runs `work` on the main thread's event loop; callable from any thread.
    void onMainThread(std::function<void()> work);

    void askPermission();
    void checkInBackground();
    void check();
    void readFeed(const std::optional<std::string>& body);
    void download();
    void downloaded(const std::optional<std::string>& failure);
    void prepared(const std::optional<UpdateError>& failure);
    /// Tells the driver the prepared update is ready; its answer installs it.
    void offerInstall();
    void install();
    /// Switches `current` to the prepared version, recording the switch for the rollback.
    [[nodiscard]] bool switchToPrepared();
    void fail(const UpdateError& error);
    void findNothing(const UpdateNotFound& outcome);
    [[nodiscard]] std::filesystem::path archivePath() const;

    Setup setup_;
    Scheduler& scheduler_;
    HttpGet& http_;
    ProcessRunner& processes_;
    Relaunch relaunch_;
    InstalledVersions versions_;
    std::optional<std::string> rejectedVersion_;

    UpdateDriver* driver_ = nullptr;
    std::optional<UpdatePermission> permission_;
    std::unique_ptr<Scheduler::Repeating> checks_;
    Stage stage_ = Stage::idle;
    /// The user asked for the update under way, so it is offered even without the permission to
    /// download on our own.
    bool userAsked_ = false;
    std::optional<AppcastItem> update_;

    std::shared_ptr<int> lifetime_ = std::make_shared<int>();
    QNetworkAccessManager network_;
    std::unique_ptr<QtFileDownload> download_;
    /// Receives the worker's results on the main thread; its pending calls die with it.
    QObject mainThread_;
    /// Declared last: destroyed first, so the worker has stopped before anything it reports to.
    std::jthread worker_;
};

} // namespace vigilo
