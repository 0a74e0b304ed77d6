#include "platform/linux/update/LinuxUpdateFramework.h"

#include "LocalHttpServer.h"
#include "StreamingHttpServer.h"
#include "TarGz.h"
#include "fakes/FakeHttpGet.h"
#include "fakes/FakeScheduler.h"
#include "platform/TempFolder.h"
#include "platform/apps/EventLoop.h"
#include "platform/linux/process/PosixProcessRunner.h"
#include "platform/linux/update/UpdatePreparation.h"
#include "platform/qt/QtHttpGet.h"
#include "util/Base64.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <map>
#include <sched.h>
#include <set>
#include <sodium.h>
#include <sys/mount.h>

namespace vigilo {
namespace {

namespace fs = std::filesystem;
using testing::LocalHttpServer;
using testing::StreamingHttpServer;
using testing::TarEntry;
using Kind = ArchiveEntry::Kind;

/// Plays the driver's part: says yes to everything but installing, which the test does through
/// `installAndRelaunch`, and records what it is shown.
class RecordingDriver final : public UpdateDriver {
public:
    UpdatePermission permission{.automaticallyChecks = true, .automaticallyDownloads = true};
    std::vector<std::string> events;
    std::uint64_t expectedLength = 0;
    std::uint64_t receivedLength = 0;
    std::vector<double> extraction;
    Reply installAndRelaunch;
    /// The description of the error shown, empty when none was.
    std::string error;
    std::optional<UpdateErrorKind> errorKind;
    std::optional<UpdateNotFound> notFound;

    [[nodiscard]] bool isDone() const {
        return installAndRelaunch || !error.empty() || notFound.has_value();
    }

    void showPermissionRequest(std::function<void(UpdatePermission)> reply) override {
        reply(permission);
    }
    void showUserInitiatedCheck() override { events.emplace_back("check"); }
    void showUpdateFound(const std::string& version, Reply install) override {
        events.push_back("found " + version);
        install();
    }
    void showDownloadStarted() override { events.emplace_back("download"); }
    void showDownloadExpectedLength(std::uint64_t bytes) override { expectedLength = bytes; }
    void showDownloadReceived(std::uint64_t bytes) override { receivedLength += bytes; }
    void showExtractionStarted() override { events.emplace_back("extract"); }
    void showExtractionProgress(double fraction) override { extraction.push_back(fraction); }
    void showReadyToInstall(Reply reply) override {
        events.emplace_back("ready");
        installAndRelaunch = std::move(reply);
    }
    void showInstalling() override { events.emplace_back("installing"); }
    void showInstalledAndRelaunched(Reply acknowledge) override {
        events.emplace_back("installed");
        acknowledge();
    }
    void showUpdateNotFound(const UpdateNotFound& outcome, Reply acknowledge) override {
        events.emplace_back("not found");
        notFound = outcome;
        acknowledge();
    }
    void showUpdaterError(const UpdateError& failure, Reply acknowledge) override {
        events.emplace_back("error");
        error = failure.description;
        errorKind = failure.kind;
        acknowledge();
    }
    void dismissUpdateInstallation() override { events.emplace_back("dismissed"); }
    bool willInstallOnQuit(Reply /*installNow*/) override { return false; }
};

/// Every path below `root` with its kind, mode, and contents or link target.
std::map<std::string, std::string> snapshot(const fs::path& root) {
    std::map<std::string, std::string> tree;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const auto status = entry.symlink_status();
        const std::string mode = std::to_string(static_cast<int>(status.permissions()));
        std::string& value = tree[fs::relative(entry.path(), root).string()];
        if (fs::is_symlink(status)) {
            value = "link " + fs::read_symlink(entry.path()).string();
        } else if (fs::is_directory(status)) {
            value = "folder " + mode;
        } else {
            value = "file " + mode + " " + readFile(entry.path());
        }
    }
    return tree;
}

std::string standIn(const std::string& version) {
    return "#!/bin/sh\necho \"vigilo " + version + "\"\n";
}

/// A version folder's entries: the stand-in program and a data file.
std::vector<TarEntry> programEntries(const std::string& version) {
    return {{.path = "bin", .kind = Kind::directory, .mode = 0755},
            {.path = "bin/vigilo", .contents = standIn(version), .mode = 0755},
            {.path = "share/vigilo/notes.txt", .contents = "notes of " + version}};
}

std::string feed(const std::vector<std::string>& items) {
    std::string xml = R"(<?xml version="1.0" encoding="utf-8"?>
<rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle">
<channel><title>Vigilo</title>)";
    for (const auto& item : items) {
        xml += item;
    }
    return xml + "</channel></rss>";
}

std::string feedItem(const std::string& version, const std::string& url,
                     std::optional<std::uint64_t> length, const std::string& signature) {
    std::string item =
        "<item><sparkle:version>" + version + "</sparkle:version><enclosure url=\"" + url + "\"";
    if (length) {
        item += " length=\"" + std::to_string(*length) + "\"";
    }
    if (!signature.empty()) {
        item += " sparkle:edSignature=\"" + signature + "\"";
    }
    return item + " type=\"application/gzip\"/></item>";
}

struct KeyPair {
    KeyPair() { crypto_sign_keypair(publicKey.data(), secretKey.data()); }

    [[nodiscard]] std::string publicBase64() const {
        return Base64::encode({publicKey.begin(), publicKey.end()});
    }
    [[nodiscard]] std::string sign(const std::string& bytes) const {
        std::vector<std::uint8_t> signature(crypto_sign_BYTES);
        crypto_sign_detached(signature.data(), nullptr,
                             reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                             secretKey.data());
        return Base64::encode(signature);
    }

    std::array<unsigned char, crypto_sign_PUBLICKEYBYTES> publicKey{};
    std::array<unsigned char, crypto_sign_SECRETKEYBYTES> secretKey{};
};

/// A per-user install of the stand-in version 1.0 in a temporary home, a local server for the
/// feed and the archives, and the key this build trusts.
class LinuxUpdateFrameworkTest : public ::testing::Test {
protected:
    LinuxUpdateFrameworkTest() {
        EXPECT_GE(sodium_init(), 0);
        putVersion("1.0");
        EXPECT_TRUE(versions.switchCurrent("1.0"));
    }

    void putVersion(const std::string& version) {
        fs::create_directories(versions.folderOf(version) / "bin");
        fs::create_directories(versions.folderOf(version) / "share/vigilo");
        writeFile(versions.folderOf(version) / "bin/vigilo", standIn(version));
        fs::permissions(versions.folderOf(version) / "bin/vigilo", fs::perms::owner_all);
        writeFile(versions.folderOf(version) / "share/vigilo/notes.txt", "notes of " + version);
    }

    /// The framework of a start of `runningVersion`; the feed comes through `feedClient` when
    /// given, else from the local server.
    std::unique_ptr<LinuxUpdateFramework>
    makeFramework(const std::string& runningVersion,
                  const std::optional<std::string>& publicKey = std::nullopt,
                  HttpGet* feedClient = nullptr) {
        return std::make_unique<LinuxUpdateFramework>(
            LinuxUpdateFramework::Setup{
                .feedUrl = server.url("/feed.xml"),
                .publicKey = publicKey.value_or(key.publicBase64()),
                .runningVersion = runningVersion,
                .versionsFolder = versions.folder(),
                .newProgramTimeout = newProgramTimeout,
            },
            LinuxUpdateFramework::Services{.scheduler = scheduler,
                                           .http = feedClient ? *feedClient : http,
                                           .processes = processes},
            [this](const fs::path& program) { relaunched.push_back(program); });
    }

    /// Serves an archive of `entries` at `path` and returns its bytes.
    std::string serveArchive(const std::string& path, const std::vector<TarEntry>& entries) {
        const fs::path file = scratch.path() / "archive.tar.gz";
        testing::writeTarGz(file, entries);
        std::string bytes = readFile(file);
        server.put(path, bytes);
        return bytes;
    }

    /// Offers version 1.1 of the stand-in, properly signed; the feed is kept in the scratch
    /// folder too.
    void offerUpdate() {
        const auto bytes = serveArchive("/vigilo-1.1.tar.gz", programEntries("1.1"));
        const auto offer = feed(
            {feedItem("1.1", server.url("/vigilo-1.1.tar.gz"), bytes.size(), key.sign(bytes))});
        writeFile(scratch.path() / "feed.xml", offer);
        server.put("/feed.xml", offer);
    }

    /// A check the user asks for, run until the framework has answered.
    static void checkAsUser(UpdateFramework& framework, RecordingDriver& driver) {
        framework.start(driver);
        framework.checkForUpdates();
        EXPECT_TRUE(vigilo::testing::runEventsUntil([&] { return driver.isDone(); }, 20'000));
    }

    [[nodiscard]] std::string runCurrentProgram() {
        const auto result = processes.run(versions.currentProgram().string(), {"--version"});
        return result ? result->standardOutput : "";
    }

    TempFolder home;
    TempFolder scratch;
    InstalledVersions versions{home.path() / ".local/lib/vigilo"};
    LocalHttpServer server;
    KeyPair key;
    fakes::FakeScheduler scheduler;
    QtHttpGet http;
    PosixProcessRunner processes;
    std::vector<fs::path> relaunched;
    std::chrono::milliseconds newProgramTimeout = LinuxUpdateFramework::Setup{}.newProgramTimeout;
};

// The release tools and the framework together: a folder packed and signed by
// scripts/sign-release.sh with a key from the signing tool installs beside the running version.
TEST_F(LinuxUpdateFrameworkTest, ASignedNewerReleaseInstallsBesideTheRunningVersion) {
    putVersion("0.9"); // the version before the running one
    fs::create_directories(versions.folder() / ".update-unpack-left");
    const fs::path release = scratch.path() / "release";
    fs::create_directories(release / "bin");
    writeFile(release / "bin/vigilo", standIn("1.1"));
    fs::permissions(release / "bin/vigilo", fs::perms::owner_all);
    const fs::path keyFile = scratch.path() / "key";
    const auto publicKey = processes.run(VIGILO_SIGN_TOOL, {"generate-key", keyFile.string()});
    ASSERT_TRUE(publicKey && publicKey->exitStatus == 0);
    const std::string trustedKey =
        publicKey->standardOutput.substr(0, publicKey->standardOutput.find('\n'));
    const auto item =
        processes.run("/usr/bin/env", {std::string("VIGILO_SIGN_TOOL=") + VIGILO_SIGN_TOOL, "bash",
                                       VIGILO_SIGN_RELEASE, "--key", keyFile.string(), "--url-base",
                                       server.url("/releases"), "--folder", release.string(),
                                       "--out", (scratch.path() / "out").string()});
    ASSERT_TRUE(item && item->exitStatus == 0);
    for (const auto& archive : fs::directory_iterator(scratch.path() / "out")) {
        server.put("/releases/" + archive.path().filename().string(), readFile(archive.path()));
    }
    server.put("/feed.xml", feed({item->standardOutput}));
    const auto running = snapshot(versions.folderOf("1.0"));

    RecordingDriver driver;
    auto framework = makeFramework("1.0", trustedKey);
    checkAsUser(*framework, driver);
    ASSERT_TRUE(driver.installAndRelaunch) << driver.error;
    driver.installAndRelaunch();

    EXPECT_EQ(driver.events, (std::vector<std::string>{"check", "found 1.1", "download", "extract",
                                                       "ready", "installing"}));
    EXPECT_GT(driver.expectedLength, 0U);
    EXPECT_EQ(driver.receivedLength, driver.expectedLength);
    ASSERT_FALSE(driver.extraction.empty());
    EXPECT_TRUE(std::ranges::is_sorted(driver.extraction));
    EXPECT_EQ(driver.extraction.back(), 1.0);
    EXPECT_EQ(versions.currentVersion(), "1.1");
    EXPECT_EQ(runCurrentProgram(), "vigilo 1.1\n");
    EXPECT_EQ(relaunched, std::vector{versions.currentProgram()});
    // The running version stays as it was, to go back to; older ones and leftovers go.
    EXPECT_EQ(snapshot(versions.folderOf("1.0")), running);
    EXPECT_FALSE(fs::exists(versions.folderOf("0.9")));
    EXPECT_FALSE(fs::exists(versions.folder() / ".update-unpack-left"));
}

TEST_F(LinuxUpdateFrameworkTest, NothingBadOrOldInstallsAndTheInstallStaysUntouched) {
    const KeyPair otherKey;
    struct Case {
        const char* name;
        std::vector<TarEntry> entries = programEntries("1.1");
        /// Changes the archive's bytes after signing.
        std::function<void(std::string&)> tamper = [](std::string&) {};
        /// Signs the archive as served.
        std::function<std::string(const std::string&)> sign{};
        std::optional<std::size_t> sentBytes{};
        std::int64_t lengthError = 0;
        std::string version = "1.1";
        std::optional<std::string> feedBody{};
        /// In the framework's description of the failure; empty: no update is found.
        std::string failure{};
        std::optional<UpdateErrorKind> kind{};
    };
    const auto signedByUs = [this](const std::string& bytes) { return key.sign(bytes); };
    const Case cases[] = {
        {.name = "a tampered archive",
         .tamper = [](std::string& bytes) { bytes[bytes.size() / 2] ^= 1; },
         .sign = signedByUs,
         .failure = "not signed",
         .kind = UpdateErrorKind::signature},
        {.name = "signed with another key",
         .sign = [&otherKey](const std::string& bytes) { return otherKey.sign(bytes); },
         .failure = "not signed",
         .kind = UpdateErrorKind::signature},
        {.name = "no signature",
         .sign = [](const std::string&) { return std::string(); },
         .failure = "not signed",
         .kind = UpdateErrorKind::signature},
        {.name = "a truncated download",
         .sign = signedByUs,
         .sentBytes = 100,
         .failure = "download",
         .kind = UpdateErrorKind::download},
        {.name = "a length other than the feed's",
         .sign = signedByUs,
         .lengthError = 1,
         .failure = "the feed says",
         .kind = UpdateErrorKind::download},
        {.name = "a feed that is not XML",
         .sign = signedByUs,
         .feedBody = "this is not a feed",
         .failure = "not an appcast",
         .kind = UpdateErrorKind::feed},
        {.name = "a path that steps out",
         .entries = {{.path = "bin/vigilo", .contents = standIn("1.1"), .mode = 0755},
                     {.path = "../escaped", .contents = "out"}},
         .sign = signedByUs,
         .failure = "outside",
         .kind = UpdateErrorKind::archive},
        {.name = "an absolute path",
         .entries = {{.path = "bin/vigilo", .contents = standIn("1.1"), .mode = 0755},
                     {.path = (home.path() / "escaped").string(), .contents = "out"}},
         .sign = signedByUs,
         .failure = "outside",
         .kind = UpdateErrorKind::archive},
        {.name = "a link that leads out",
         .entries = {{.path = "bin/vigilo", .contents = standIn("1.1"), .mode = 0755},
                     {.path = "share", .kind = Kind::symlink, .contents = "../../../.."}},
         .sign = signedByUs,
         .failure = "outside",
         .kind = UpdateErrorKind::archive},
        {.name = "no program",
         .entries = {{.path = "share/vigilo/notes.txt", .contents = "notes"}},
         .sign = signedByUs,
         .failure = "does not start",
         .kind = UpdateErrorKind::program},
        {.name = "a program that does not start",
         .entries = {{.path = "bin/vigilo", .contents = "#!/bin/sh\nexit 1\n", .mode = 0755}},
         .sign = signedByUs,
         .failure = "does not start",
         .kind = UpdateErrorKind::program},
        {.name = "a program that reports another version",
         .entries = programEntries("0.9"),
         .sign = signedByUs,
         .version = "2.0",
         .failure = "reports version 0.9",
         .kind = UpdateErrorKind::program},
        {.name = "a program that reports no version",
         .entries = {{.path = "bin/vigilo", .contents = "#!/bin/sh\necho hello\n", .mode = 0755}},
         .sign = signedByUs,
         .failure = "does not report its version",
         .kind = UpdateErrorKind::program},
        {.name = "the running version", .sign = signedByUs, .version = "1.0"},
        {.name = "an older version", .sign = signedByUs, .version = "0.9"},
    };
    const auto before = snapshot(home.path());
    for (const auto& c : cases) {
        auto bytes = serveArchive("/update.tar.gz", c.entries);
        const auto signature = c.sign(bytes);
        c.tamper(bytes);
        server.put("/update.tar.gz", bytes, c.sentBytes);
        const auto length = static_cast<std::int64_t>(bytes.size()) + c.lengthError;
        server.put("/feed.xml", c.feedBody.value_or(feed({feedItem(
                                    c.version, server.url("/update.tar.gz"), length, signature)})));

        RecordingDriver driver;
        auto framework = makeFramework("1.0");
        checkAsUser(*framework, driver);

        if (c.failure.empty()) {
            ASSERT_TRUE(driver.notFound) << c.name;
            EXPECT_EQ(driver.notFound->reason, NoUpdateReason::onLatestVersion) << c.name;
        } else {
            EXPECT_NE(driver.error.find(c.failure), std::string::npos)
                << c.name << ": " << driver.error;
            EXPECT_EQ(driver.errorKind, c.kind) << c.name;
        }
        EXPECT_FALSE(driver.installAndRelaunch) << c.name;
        framework.reset();
        EXPECT_EQ(snapshot(home.path()), before) << c.name;
        EXPECT_TRUE(relaunched.empty()) << c.name;
    }
}

// A feed far larger than any appcast is refused without being read whole, and one that trickles
// in fails at its deadline instead of holding up every later check.
TEST_F(LinuxUpdateFrameworkTest, AFeedTooLargeOrTooSlowFailsTheCheck) {
    constexpr std::uint64_t mebibyte = std::uint64_t{1} << 20U;
    const struct {
        const char* name;
        StreamingHttpServer::Body body;
        QtHttpGet::Limits limits = QtHttpGet::defaultLimits;
    } cases[] = {
        {"a 64 MiB feed", {.size = 64 * mebibyte}},
        {"a 64 MiB feed that says so", {.size = 64 * mebibyte, .announced = true}},
        {"a byte every 100 ms",
         {.size = 1000, .pause = std::chrono::milliseconds(100)},
         {.largestBody = mebibyte,
          .deadlines = {.idle = std::chrono::seconds(30), .total = std::chrono::seconds(1)}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StreamingHttpServer feedServer(c.body);
        QtHttpGet feedClient(c.limits);
        RecordingDriver driver;
        auto framework = std::make_unique<LinuxUpdateFramework>(
            LinuxUpdateFramework::Setup{.feedUrl = feedServer.url("/feed.xml"),
                                        .publicKey = key.publicBase64(),
                                        .runningVersion = "1.0",
                                        .versionsFolder = versions.folder()},
            LinuxUpdateFramework::Services{
                .scheduler = scheduler, .http = feedClient, .processes = processes},
            LinuxUpdateFramework::Relaunch{});
        framework->start(driver);
        framework->checkForUpdates();
        ASSERT_TRUE(vigilo::testing::runEventsUntil([&] { return driver.isDone(); }, 60'000));

        EXPECT_NE(driver.error.find("could not be loaded"), std::string::npos) << driver.error;
        EXPECT_EQ(driver.errorKind, UpdateErrorKind::network);
        EXPECT_LT(feedServer.sentBytes(), c.body.size / 4);
    }
}

// Whatever number the feed gives it, a release that is not newer than the running one, by its
// own word, is never put in place: not even over the running version's folder.
TEST_F(LinuxUpdateFrameworkTest, OnlyAProgramNewerThanTheRunningOneIsPrepared) {
    putVersion("0.9");
    const auto before = snapshot(versions.folder());
    for (const std::string version : {"1.0", "0.9"}) {
        const fs::path archive = scratch.path() / "update.tar.gz";
        testing::writeTarGz(archive, programEntries(version));
        const auto failure = prepareVersion(
            versions,
            {.archive = archive, .signature = key.sign(readFile(archive)), .version = version},
            {.publicKey = key.publicBase64(),
             .runningVersion = "1.0",
             .answerTimeout = std::chrono::minutes(10)},
            processes, [](double) {}, {});
        ASSERT_TRUE(failure) << version;
        EXPECT_EQ(failure->kind, UpdateErrorKind::program) << version;
        EXPECT_NE(failure->description.find("not newer than the running version 1.0"),
                  std::string::npos)
            << failure->description;
        EXPECT_EQ(snapshot(versions.folder()), before) << version;
    }
}

/// Mounts a tmpfs of `bytes` on `folder`, seen only by this thread and the threads it starts
/// from now on, and gone with the process. False when this process may not mount.
bool mountSmallTmpfs(const fs::path& folder, std::size_t bytes) {
    const std::string options = "size=" + std::to_string(bytes);
    return ::unshare(CLONE_NEWNS) == 0 &&
           ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           ::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

// A home folder too small for the new version: the unpacking fails where the disk is full,
// instead of leaving a file that ends in zeros, and nothing is switched to.
TEST_F(LinuxUpdateFrameworkTest, AFullDiskInstallsNothing) {
    if (!mountSmallTmpfs(versions.folder(), std::size_t{2} << 20U)) {
        GTEST_SKIP() << "no small tmpfs for the versions folder: " << std::strerror(errno);
    }
    struct Unmount {
        fs::path folder;
        ~Unmount() { ::umount2(folder.c_str(), MNT_DETACH); }
    } const unmount{versions.folder()};
    putVersion("1.0");
    ASSERT_TRUE(versions.switchCurrent("1.0"));
    std::string data;
    while (data.size() < (std::size_t{4} << 20U)) {
        data += "data of 1.1, " + std::to_string(data.size()) + "\n";
    }
    auto entries = programEntries("1.1");
    entries.push_back({.path = "share/vigilo/data", .contents = data});
    const auto bytes = serveArchive("/vigilo-1.1.tar.gz", entries);
    server.put("/feed.xml", feed({feedItem("1.1", server.url("/vigilo-1.1.tar.gz"), bytes.size(),
                                           key.sign(bytes))}));

    RecordingDriver driver;
    auto framework = makeFramework("1.0");
    checkAsUser(*framework, driver);
    EXPECT_FALSE(driver.installAndRelaunch);
    EXPECT_NE(driver.error.find("could not be unpacked"), std::string::npos) << driver.error;
    EXPECT_EQ(driver.errorKind, UpdateErrorKind::archive);
    framework.reset();
    EXPECT_EQ(versions.currentVersion(), "1.0");
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(versions.folder())) {
        names.insert(entry.path().filename().string());
    }
    EXPECT_EQ(names, (std::set<std::string>{"1.0", "current"}));
}

/// Whether the process `pid` has ended: gone, or a zombie no one has reaped yet.
bool hasEnded(pid_t pid) {
    std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
    // The state follows the command's name, which is in parentheses.
    const auto nameEnd = stat.rfind(')');
    return nameEnd == std::string::npos || stat.compare(nameEnd + 2, 1, "Z") == 0;
}

// A new program that never answers (and keeps its output open through a child): the update
// fails when its time is up, and quitting meanwhile waits for no timeout. Either way the
// program and what it started are killed, and nothing is left behind.
TEST_F(LinuxUpdateFrameworkTest, ANewProgramThatHangsIsKilledAndLeavesNothing) {
    const fs::path pidFile = scratch.path() / "sleeper";
    const std::string hangs =
        "#!/bin/sh\nsleep 600 &\necho $! > '" + pidFile.string() + "'\nwait\n";
    const auto bytes = serveArchive("/vigilo-1.1.tar.gz",
                                    {{.path = "bin/vigilo", .contents = hangs, .mode = 0755}});
    server.put("/feed.xml", feed({feedItem("1.1", server.url("/vigilo-1.1.tar.gz"), bytes.size(),
                                           key.sign(bytes))}));
    const auto before = snapshot(home.path());
    for (const bool quits : {false, true}) {
        SCOPED_TRACE(quits ? "quitting meanwhile" : "waiting");
        fs::remove(pidFile);
        newProgramTimeout = quits ? std::chrono::milliseconds(std::chrono::minutes(10))
                                  : std::chrono::milliseconds(std::chrono::seconds(1));
        RecordingDriver driver;
        auto framework = makeFramework("1.0");
        framework->start(driver);
        framework->checkForUpdates();
        if (quits) {
            ASSERT_TRUE(vigilo::testing::runEventsUntil([&] { return !readFile(pidFile).empty(); },
                                                        20'000));
        } else {
            ASSERT_TRUE(vigilo::testing::runEventsUntil([&] { return driver.isDone(); }, 20'000));
            EXPECT_NE(driver.error.find("did not answer"), std::string::npos) << driver.error;
            EXPECT_EQ(driver.errorKind, UpdateErrorKind::program);
        }
        framework.reset();
        const pid_t sleeper = std::stoi(readFile(pidFile));
        EXPECT_TRUE(vigilo::testing::runEventsUntil([&] { return hasEnded(sleeper); }, 20'000));
        EXPECT_EQ(snapshot(home.path()), before);
    }
}

// Built without a key: never a request to the feed; a user's check says it cannot check.
TEST_F(LinuxUpdateFrameworkTest, ABuildWithoutAKeyNeverLooks) {
    offerUpdate();
    RecordingDriver driver;
    auto framework = makeFramework("1.0", "");
    checkAsUser(*framework, driver);
    scheduler.advance(3 * LinuxUpdateFramework::checkInterval);

    EXPECT_FALSE(driver.notFound.has_value());
    EXPECT_EQ(driver.errorKind, UpdateErrorKind::unconfigured);
    EXPECT_EQ(server.allRequests(), 0);
    EXPECT_EQ(versions.currentVersion(), "1.0");
}

// The feed is answered by hand here, so that a check that ends quietly has surely ended.
TEST_F(LinuxUpdateFrameworkTest, BackgroundChecksFollowTheScheduleAndThePermission) {
    offerUpdate();
    const std::string offer = readFile(scratch.path() / "feed.xml");
    struct Case {
        const char* name;
        UpdatePermission permission;
        std::size_t feedRequests;
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {"no automatic checks", {.automaticallyChecks = false}, 0, {}},
        // An update found without leave to download waits for the user's own check.
        {"checks only", {.automaticallyChecks = true}, 2, {}},
        // A check while an update is ready finds nothing new to do.
        {"checks and downloads",
         {.automaticallyChecks = true, .automaticallyDownloads = true},
         1,
         {"found 1.1", "download", "extract", "ready"}},
    };
    for (const auto& c : cases) {
        fakes::FakeHttpGet feedClient;
        RecordingDriver driver;
        driver.permission = c.permission;
        auto framework = makeFramework("1.0", std::nullopt, &feedClient);
        framework->start(driver);

        scheduler.advance(LinuxUpdateFramework::firstCheckDelay - 1);
        EXPECT_TRUE(feedClient.urls.empty()) << c.name;
        for (const double wait : {1.0, LinuxUpdateFramework::checkInterval}) {
            scheduler.advance(wait);
            if (!feedClient.pending.empty()) {
                feedClient.answer(offer);
            }
            if (!c.events.empty()) {
                EXPECT_TRUE(
                    vigilo::testing::runEventsUntil([&] { return driver.isDone(); }, 20'000));
            }
        }
        EXPECT_EQ(feedClient.urls.size(), c.feedRequests) << c.name;
        EXPECT_EQ(driver.events, c.events) << c.name;

        // A ready update that was never installed is switched to as the program quits.
        framework.reset();
        EXPECT_EQ(versions.currentVersion(), c.events.empty() ? "1.0" : "1.1") << c.name;
    }
}

// A new version that crashes (or is killed) before it has confirmed its start is taken back at the
// next start, and that version is never offered again. Running for a while or quitting cleanly
// (from the menu, on SIGTERM, at the session's end) confirms it, however short the run.
TEST_F(LinuxUpdateFrameworkTest, OnlyAVersionThatCrashedBeforeConfirmingIsRolledBack) {
    offerUpdate();
    enum class End { runsLongEnough, quitsAtOnce, crashesBeforeTheUpdater };
    const struct {
        const char* name;
        End end;
        bool rolledBack;
    } cases[] = {
        {"runs long enough", End::runsLongEnough, false},
        {"quits at once", End::quitsAtOnce, false},
        {"crashes before its updater is made", End::crashesBeforeTheUpdater, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(versions.switchCurrent("1.0"));
        fs::remove(versions.folder() / ".launch-record.json");
        {
            RecordingDriver driver;
            auto framework = makeFramework("1.0");
            checkAsUser(*framework, driver);
            ASSERT_TRUE(driver.installAndRelaunch) << driver.error;
            driver.installAndRelaunch();
        }
        // The first thing a start does.
        ASSERT_EQ(UpdateRollback::atStart(versions, "1.1"),
                  UpdateRollback::Start::firstAfterUpdate);
        if (c.end != End::crashesBeforeTheUpdater) {
            RecordingDriver driver;
            auto firstStart = makeFramework("1.1");
            firstStart->start(driver);
            if (c.end == End::runsLongEnough) {
                scheduler.advance(LinuxUpdateFramework::confirmationDelay);
                EXPECT_EQ(driver.events, std::vector<std::string>{"installed"});
            }
        }

        const auto secondStart = UpdateRollback::atStart(versions, "1.1");
        EXPECT_EQ(secondStart, c.rolledBack ? UpdateRollback::Start::rolledBack
                                            : UpdateRollback::Start::ordinary);
        EXPECT_EQ(versions.currentVersion(), c.rolledBack ? "1.0" : "1.1");
        EXPECT_EQ(runCurrentProgram(), c.rolledBack ? "vigilo 1.0\n" : "vigilo 1.1\n");
        EXPECT_EQ(UpdateRollback::rejectedVersion(versions),
                  c.rolledBack ? std::optional<std::string>("1.1") : std::nullopt);
    }
    // The previous version, started again, does not install the one that failed.
    RecordingDriver driver;
    auto framework = makeFramework("1.0");
    checkAsUser(*framework, driver);
    EXPECT_TRUE(driver.notFound.has_value()) << driver.error;
}

} // namespace
} // namespace vigilo
