#include "update/Updater.h"

#include "fakes/FakeScheduler.h"
#include "fakes/FakeUpdateFramework.h"

#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vigilo {
namespace {

using namespace UpdatePhase;

const std::string downloadText =
    "Не удалось скачать обновление. Проверь соединение и попробуй ещё раз.";
const std::string networkText = "Нет соединения с интернетом. Проверь сеть и попробуй ещё раз.";
const std::string otherText = "Не удалось проверить обновления. Попробуй ещё раз позже.";

/// An updater over a fake framework; the host says the computer is kept awake through `isAwake`
/// and records the relaunch hook and the framework's replies in `events`.
struct Rig {
    Rig() {
        updater.setCanInstallNow([this] { return !isAwake; });
        updater.setWillRelaunch([this] { events.emplace_back("willRelaunch"); });
    }

    [[nodiscard]] UpdateDriver& driver() const { return framework.driver(); }
    /// A framework reply that records `name` when it is given.
    UpdateDriver::Reply recorded(const std::string& name) {
        return [this, name] { events.push_back(name); };
    }

    void reachChecking() { updater.checkForUpdates(); }
    void reachDownloading() {
        reachChecking();
        driver().showUpdateFound("1.3", recorded("download"));
    }
    void reachExtracting() {
        reachDownloading();
        driver().showExtractionStarted();
    }
    void reachReady() {
        reachExtracting();
        driver().showReadyToInstall(recorded("install"));
    }
    void reachUpToDate() {
        reachChecking();
        driver().showUpdateNotFound({.reason = NoUpdateReason::onLatestVersion}, [] {});
    }
    void reachFailed() {
        reachChecking();
        driver().showUpdaterError({UpdateErrorKind::feed, "boom"}, [] {});
    }
    /// The framework finds and downloads an update on its own.
    void backgroundUpdateReady() {
        driver().showUpdateFound("1.3", recorded("download"));
        driver().showDownloadStarted();
        driver().showDownloadExpectedLength(100);
        driver().showDownloadReceived(100);
        driver().showExtractionStarted();
        driver().showReadyToInstall(recorded("install"));
    }

    fakes::FakeUpdateFramework framework;
    fakes::FakeScheduler scheduler;
    Updater updater{framework, scheduler, {.version = "1.2", .copyright = "© Vigilo"}};
    bool isAwake = false;
    std::vector<std::string> events;
};

class UpdaterTest : public ::testing::Test, protected Rig {};

using Reach = void (Rig::*)();

TEST_F(UpdaterTest, StartsIdleAsTheFrameworksDriver) {
    EXPECT_EQ(&framework.driver(), &updater);
    EXPECT_EQ(updater.phase(), Updater::Phase(Idle{}));
    EXPECT_FALSE(updater.hasUpdate());
    EXPECT_FALSE(updater.isUpdating());
    EXPECT_FALSE(updater.isWorking());
    EXPECT_EQ(updater.version(), "1.2");
    EXPECT_EQ(updater.copyright(), "© Vigilo");
    EXPECT_EQ(Updater(framework, scheduler, {}).version(), "?");
}

TEST_F(UpdaterTest, GrantsBackgroundUpdatesWithoutAskingTheUser) {
    std::optional<UpdatePermission> answer;
    driver().showPermissionRequest([&](UpdatePermission permission) { answer = permission; });
    ASSERT_TRUE(answer);
    EXPECT_TRUE(answer->automaticallyChecks);
    EXPECT_TRUE(answer->automaticallyDownloads);
    EXPECT_FALSE(answer->sendsSystemProfile);
}

TEST_F(UpdaterTest, ObserversHearOfEachChangeAfterItHappened) {
    std::vector<Updater::Phase> seen;
    const auto observer = updater.changed().connect([&] { seen.push_back(updater.phase()); });
    reachChecking();
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), Updater::Phase(Checking{}));
}

TEST_F(UpdaterTest, AWatchedUpdateShowsEachStepAndWaitsForTheUser) {
    updater.checkForUpdates();
    EXPECT_EQ(updater.phase(), Updater::Phase(Checking{}));
    EXPECT_TRUE(updater.isUpdating());
    EXPECT_EQ(framework.checks, 1);

    driver().showUpdateFound("1.3", recorded("download"));
    EXPECT_EQ(updater.newVersion(), "1.3");
    EXPECT_EQ(updater.updateVersion(), "1.3");
    EXPECT_EQ(updater.phase(), Updater::Phase(Downloading{}));
    EXPECT_EQ(events, std::vector<std::string>{"download"});

    driver().showDownloadStarted();
    driver().showDownloadExpectedLength(200);
    driver().showDownloadReceived(50);
    EXPECT_EQ(updater.phase(), Updater::Phase(Downloading{0.25}));
    driver().showExtractionStarted();
    EXPECT_EQ(updater.phase(), Updater::Phase(Extracting{0}));
    driver().showExtractionProgress(0.5);
    EXPECT_EQ(updater.phase(), Updater::Phase(Extracting{0.5}));

    driver().showReadyToInstall(recorded("install"));
    EXPECT_EQ(updater.phase(), Updater::Phase(Ready{}));
    EXPECT_FALSE(updater.isUpdating());
    EXPECT_TRUE(updater.isWorking());
    EXPECT_FALSE(updater.backgroundReadyVersion());
    updater.installPendingIfIdle();
    EXPECT_EQ(events.size(), 1U) << "a watched update installs only on the user's click";

    updater.installNow();
    updater.installNow();
    EXPECT_EQ(events, (std::vector<std::string>{"download", "willRelaunch", "install"}));
}

TEST_F(UpdaterTest, ACheckStartsOnlyWhenNothingIsUnderWay) {
    struct Case {
        const char* from;
        Reach reach;
        Updater::Phase expected;
        int checks;
    };
    const Case cases[] = {
        {"idle", nullptr, Checking{}, 1},
        {"up to date", &Rig::reachUpToDate, Checking{}, 2},
        {"failed", &Rig::reachFailed, Checking{}, 2},
        {"checking", &Rig::reachChecking, Checking{}, 1},
        {"downloading", &Rig::reachDownloading, Downloading{}, 1},
        {"extracting", &Rig::reachExtracting, Extracting{0}, 1},
        {"ready", &Rig::reachReady, Ready{}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.from);
        Rig fresh;
        if (c.reach != nullptr) {
            (fresh.*c.reach)();
        }
        fresh.updater.checkForUpdates();
        EXPECT_EQ(fresh.updater.phase(), c.expected);
        EXPECT_EQ(fresh.framework.checks, c.checks);
    }
}

TEST_F(UpdaterTest, ACheckWhileAnUpdateIsHeldShowsItWithoutAskingTheFramework) {
    isAwake = true;
    backgroundUpdateReady();
    updater.checkForUpdates();
    EXPECT_EQ(updater.phase(), Updater::Phase(Ready{}));
    EXPECT_TRUE(updater.isUpdating());
    EXPECT_EQ(framework.checks, 0);
    isAwake = false;
    updater.installPendingIfIdle();
    EXPECT_EQ(events.size(), 1U) << "the user now watches it: only their click installs it";
}

TEST_F(UpdaterTest, DownloadProgressNeverExceedsOneAndWaitsForAKnownSize) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::uint64_t, std::uint64_t>> lengthThenReceived;
        Updater::Phase expected;
    };
    const Case cases[] = {
        {"no size yet", {{0, 100}}, Downloading{}},
        {"half", {{200, 100}}, Downloading{0.5}},
        {"more than announced", {{100, 80}, {100, 80}}, Downloading{1.0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig fresh;
        fresh.reachDownloading();
        fresh.driver().showDownloadStarted();
        for (const auto& [length, received] : c.lengthThenReceived) {
            if (length > 0) {
                fresh.driver().showDownloadExpectedLength(length);
            }
            fresh.driver().showDownloadReceived(received);
        }
        EXPECT_EQ(fresh.updater.phase(), c.expected);
    }
}

TEST_F(UpdaterTest, ASizeReportedLateCountsTheBytesAlreadyReceived) {
    reachDownloading();
    driver().showDownloadStarted();
    driver().showDownloadReceived(30);
    driver().showDownloadExpectedLength(120);
    EXPECT_EQ(updater.phase(), Updater::Phase(Downloading{0.25}));
    driver().showDownloadStarted();
    EXPECT_EQ(updater.phase(), Updater::Phase(Downloading{})) << "a new download starts at 0";
    driver().showDownloadExpectedLength(120);
    driver().showDownloadReceived(60);
    EXPECT_EQ(updater.phase(), Updater::Phase(Downloading{0.5}));
}

TEST_F(UpdaterTest, ACheckThatFindsNothingSaysWhy) {
    struct Case {
        const char* what;
        std::optional<NoUpdateReason> reason;
        Updater::Phase expected;
    };
    const Case cases[] = {
        {"on the latest", NoUpdateReason::onLatestVersion, UpToDate{}},
        {"on a newer one", NoUpdateReason::onNewerThanLatestVersion, UpToDate{}},
        {"unknown", NoUpdateReason::unknown, Failed{otherText}},
        {"system too old", NoUpdateReason::systemIsTooOld, Failed{otherText}},
        {"a code of a newer framework", static_cast<NoUpdateReason>(7), Failed{otherText}},
        {"no reason", std::nullopt, Failed{otherText}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Rig fresh;
        fresh.reachChecking();
        fresh.driver().showUpdateNotFound({c.reason}, fresh.recorded("ack"));
        EXPECT_EQ(fresh.updater.phase(), c.expected);
        EXPECT_FALSE(fresh.updater.isUpdating());
        EXPECT_EQ(fresh.events, std::vector<std::string>{"ack"});
    }
}

TEST_F(UpdaterTest, AFailedUserCheckShowsTheUsersText) {
    reachDownloading();
    driver().showUpdaterError({UpdateErrorKind::download, "The download failed."}, recorded("ack"));
    EXPECT_EQ(updater.phase(), Updater::Phase(Failed{downloadText}));
    EXPECT_FALSE(updater.isUpdating());
    EXPECT_EQ(events, (std::vector<std::string>{"download", "ack"}));
}

// The kind of failure decides the text, whatever words the framework chose for it.
TEST_F(UpdaterTest, EachKindOfFailureHasItsText) {
    struct Case {
        UpdateErrorKind kind;
        const char* description;
        const std::string& expected;
    };
    const Case cases[] = {
        {UpdateErrorKind::network, "The update feed could not be loaded", networkText},
        {UpdateErrorKind::download, "HTTP status 404", downloadText},
        {UpdateErrorKind::unconfigured, "No update feed in this build", otherText},
        {UpdateErrorKind::feed, "The download page is not an appcast", otherText},
        {UpdateErrorKind::signature, "The downloaded update is not signed", otherText},
        {UpdateErrorKind::archive, "The downloaded archive cannot be read", otherText},
        {UpdateErrorKind::program, "The new program does not start", otherText},
        {UpdateErrorKind::install, "The network share is read-only", otherText},
        {static_cast<UpdateErrorKind>(99), "Network is unreachable", otherText},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.description);
        Rig fresh;
        fresh.reachChecking();
        fresh.driver().showUpdaterError({c.kind, c.description}, [] {});
        EXPECT_EQ(fresh.updater.phase(), Updater::Phase(Failed{c.expected}));
    }
}

TEST_F(UpdaterTest, BackgroundWorkShowsNothingAndIsAcknowledgedSilently) {
    driver().showUpdateFound("1.3", recorded("download"));
    driver().showDownloadStarted();
    driver().showDownloadReceived(10);
    driver().showExtractionProgress(0.5);
    driver().showUpdaterError({UpdateErrorKind::network, "network down"}, recorded("ack error"));
    driver().showUpdateNotFound({.reason = NoUpdateReason::unknown}, recorded("ack not found"));
    EXPECT_EQ(updater.phase(), Updater::Phase(Idle{}));
    EXPECT_FALSE(updater.isUpdating());
    EXPECT_EQ(updater.newVersion(), "1.3");
    EXPECT_EQ(events, (std::vector<std::string>{"download", "ack error", "ack not found"}));
}

TEST_F(UpdaterTest, ABackgroundUpdateWaitsWhileKeptAwakeAndInstallsWhenItEnds) {
    isAwake = true;
    backgroundUpdateReady();
    EXPECT_EQ(updater.phase(), Updater::Phase(Idle{}));
    EXPECT_EQ(updater.backgroundReadyVersion(), "1.3");
    updater.installPendingIfIdle();
    EXPECT_EQ(events, std::vector<std::string>{"download"});

    isAwake = false;
    updater.installPendingIfIdle();
    EXPECT_EQ(events, (std::vector<std::string>{"download", "willRelaunch", "install"}));
    EXPECT_FALSE(updater.backgroundReadyVersion());
}

TEST_F(UpdaterTest, ABackgroundUpdateInstallsAtOnceWhenTheComputerMaySleep) {
    backgroundUpdateReady();
    EXPECT_EQ(events, (std::vector<std::string>{"download", "willRelaunch", "install"}));
}

TEST_F(UpdaterTest, ANewerReadyUpdateSupersedesTheHeldOne) {
    reachReady();
    driver().showReadyToInstall(recorded("install newer"));
    updater.installNow();
    EXPECT_EQ(events, (std::vector<std::string>{"download", "willRelaunch", "install newer"}));
}

TEST_F(UpdaterTest, AnUpdateForQuitIsInstalledOnTheNextIdleTurn) {
    isAwake = true;
    EXPECT_TRUE(driver().willInstallOnQuit(recorded("first")));
    EXPECT_TRUE(driver().willInstallOnQuit(recorded("second")));
    scheduler.runPosted();
    EXPECT_TRUE(events.empty()) << "kept awake: it waits";
    isAwake = false;
    updater.installPendingIfIdle();
    updater.installPendingIfIdle();
    EXPECT_EQ(events, (std::vector<std::string>{"willRelaunch", "second"}));
}

TEST_F(UpdaterTest, AnUpdateForQuitInstallsFromThePostedTurnWhenAllowed) {
    EXPECT_TRUE(driver().willInstallOnQuit(recorded("now")));
    EXPECT_TRUE(events.empty()) << "not from within the framework's call";
    scheduler.runPosted();
    EXPECT_EQ(events, (std::vector<std::string>{"willRelaunch", "now"}));
}

TEST_F(UpdaterTest, AnUpdateForQuitIsLeftToTheFrameworkWhileOneIsHeld) {
    reachReady();
    EXPECT_FALSE(driver().willInstallOnQuit(recorded("at quit")));
    EXPECT_EQ(scheduler.postedCount(), 0U);
}

TEST_F(UpdaterTest, APostedInstallOutlivingTheUpdaterDoesNothing) {
    auto gone = std::make_unique<Updater>(framework, scheduler, Updater::ProgramInfo{});
    EXPECT_TRUE(framework.driver().willInstallOnQuit(recorded("late")));
    gone.reset();
    scheduler.runPosted();
    EXPECT_TRUE(events.empty());
}

TEST_F(UpdaterTest, InstallingAndRelaunchingEndsTheActivity) {
    isAwake = true;
    backgroundUpdateReady();
    driver().showInstalling();
    EXPECT_TRUE(updater.isUpdating());
    driver().showInstalledAndRelaunched(recorded("ack"));
    EXPECT_EQ(updater.phase(), Updater::Phase(Idle{}));
    EXPECT_FALSE(updater.isUpdating());
    EXPECT_FALSE(updater.backgroundReadyVersion());
    EXPECT_EQ(events.back(), "ack");
}

TEST_F(UpdaterTest, DismissingOrClosingThePanelKeepsOnlyWorkThatMatters) {
    struct Case {
        const char* from;
        Reach reach;
        Updater::Phase afterDismiss;
        Updater::Phase afterPanelClose;
    };
    const Case cases[] = {
        {"checking", &Rig::reachChecking, Idle{}, Checking{}},
        {"downloading", &Rig::reachDownloading, Idle{}, Downloading{}},
        {"extracting", &Rig::reachExtracting, Idle{}, Extracting{0}},
        {"ready", &Rig::reachReady, Ready{}, Ready{}},
        {"up to date", &Rig::reachUpToDate, UpToDate{}, Idle{}},
        {"failed", &Rig::reachFailed, Failed{otherText}, Idle{}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.from);
        Rig dismissed;
        (dismissed.*c.reach)();
        dismissed.driver().dismissUpdateInstallation();
        EXPECT_EQ(dismissed.updater.phase(), c.afterDismiss);

        Rig closed;
        (closed.*c.reach)();
        closed.updater.resetAfterPanelClose();
        EXPECT_EQ(closed.updater.phase(), c.afterPanelClose);
        if (c.afterPanelClose == Updater::Phase(Idle{})) {
            EXPECT_FALSE(closed.updater.isUpdating());
        }
    }
}

} // namespace
} // namespace vigilo
