#include "platform/linux/desktop/XdgAutostart.h"

#include "../TempFolder.h"
#include "platform/linux/apps/LinuxDesktopEntry.h"
#include "platform/linux/settings/IniFile.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vigilo;

namespace {

/// The Exec line exactly as written in the entry's file.
std::string execLine(const std::filesystem::path& entry) {
    const std::string text = readFile(entry);
    const auto start = text.find("\nExec=");
    if (start == std::string::npos) {
        return {};
    }
    return text.substr(start + 1, text.find('\n', start + 1) - start - 1);
}

} // namespace

TEST(XdgAutostart, EnableWritesAnEntryAndDisableRemovesIt) {
    const TempFolder home;
    const auto folder = home.path() / ".config" / "autostart";
    const XdgAutostart autostart(folder, "/opt/Vigilo App/vigilo");
    EXPECT_FALSE(autostart.isEnabled());
    EXPECT_EQ(autostart.entryPath(), folder / "io.github.vigilo.Vigilo.desktop");

    EXPECT_EQ(autostart.enable(), std::nullopt) << "creates the missing folders";
    EXPECT_TRUE(autostart.isEnabled());
    const auto entry = readDesktopEntry(autostart.entryPath());
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->type, "Application");
    EXPECT_EQ(entry->name, "Vigilo");
    EXPECT_EQ(entry->icon, "io.github.vigilo.Vigilo");
    EXPECT_EQ(entry->exec, "\"/opt/Vigilo App/vigilo\"");
    EXPECT_TRUE(entry->noDisplay);
    EXPECT_FALSE(entry->hidden);
    const auto keys = IniFile::read(autostart.entryPath());
    ASSERT_TRUE(keys);
    EXPECT_EQ(keys->value("Desktop Entry", "Terminal"), "false");
    EXPECT_EQ(keys->value("Desktop Entry", "X-GNOME-Autostart-enabled"), "true");
    EXPECT_TRUE(keys->value("Desktop Entry", "Comment"));

    EXPECT_EQ(autostart.enable(), std::nullopt) << "enabling again rewrites the entry";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1)
        << "no temporary file is left next to the entry";

    EXPECT_EQ(autostart.disable(), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(autostart.entryPath()));
    EXPECT_FALSE(autostart.isEnabled());
    EXPECT_EQ(autostart.disable(), std::nullopt) << "a missing entry is already disabled";
}

// Readers undo the string escapes first (\\ → \), then the quoting, then %% → %.
TEST(XdgAutostart, ExecQuotesAndEscapesThePathAsDesktopEntriesRequire) {
    const TempFolder home;
    const std::pair<std::string, std::string> cases[] = {
        {"/usr/bin/vigilo", "Exec=/usr/bin/vigilo"},
        {"/home/ёжик/bin/vigilo", "Exec=/home/ёжик/bin/vigilo"},
        {"/opt/Vigilo App/vigilo", R"(Exec="/opt/Vigilo App/vigilo")"},
        {"/opt/a$b/vigilo", R"(Exec="/opt/a\\$b/vigilo")"},
        {"/opt/say \"hi\"/vigilo", R"(Exec="/opt/say \\"hi\\"/vigilo")"},
        {"/opt/back\\slash/vigilo", R"(Exec="/opt/back\\\\slash/vigilo")"},
        {"/opt/it's/vigilo", R"(Exec="/opt/it's/vigilo")"},
        {"/opt/100%/vigilo", "Exec=env /opt/100%%/vigilo"},
        {"/opt/a b%/vigilo", R"(Exec=env "/opt/a b%%/vigilo")"},
    };
    for (const auto& [executable, expected] : cases) {
        const XdgAutostart autostart(home.path(), executable);
        ASSERT_EQ(autostart.enable(), std::nullopt);
        EXPECT_EQ(execLine(autostart.entryPath()), expected) << executable;
    }
}

// GLib refuses to load an entry whose program it cannot find, as GNOME's session does at login.
TEST(XdgAutostart, GLibStartsTheEntryOfAProgramInAFolderWithPercentAndSpace) {
    const TempFolder home;
    const auto folder = home.path() / "100% sure";
    std::filesystem::create_directories(folder);
    const auto program = folder / "vigilo";
    writeFile(program, "#!/bin/sh\ntouch \"$0.ran\"\n");
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    const XdgAutostart autostart(home.path() / "autostart", program.string());
    ASSERT_EQ(autostart.enable(), std::nullopt);

    QProcess gio;
    gio.start(QStringLiteral("gio"),
              {QStringLiteral("launch"), QString::fromStdString(autostart.entryPath().string())});
    ASSERT_TRUE(gio.waitForFinished(10000));
    ASSERT_EQ(gio.exitCode(), 0) << gio.readAllStandardError().toStdString();
    const auto ran = std::filesystem::path(program.string() + ".ran");
    QDeadlineTimer deadline(10000);
    while (!std::filesystem::exists(ran) && !deadline.hasExpired()) {
        QThread::msleep(10);
    }
    EXPECT_TRUE(std::filesystem::exists(ran)) << "the program ran with its own path";
}

TEST(XdgAutostart, AnEntrySwitchedOffByTheSessionIsNotEnabled) {
    const TempFolder home;
    const XdgAutostart autostart(home.path(), "/usr/bin/vigilo");
    const std::string entry = "[Desktop Entry]\nType=Application\nName=Vigilo\nExec=vigilo\n";

    writeFile(autostart.entryPath(), entry);
    EXPECT_TRUE(autostart.isEnabled()) << "an entry written by someone else counts";
    writeFile(autostart.entryPath(), entry + "Hidden=true\n");
    EXPECT_FALSE(autostart.isEnabled());
    writeFile(autostart.entryPath(), entry + "X-GNOME-Autostart-enabled=false\n");
    EXPECT_FALSE(autostart.isEnabled());

    EXPECT_EQ(autostart.enable(), std::nullopt);
    EXPECT_TRUE(autostart.isEnabled()) << "enabling replaces the switched-off entry";
}

// Earlier versions named the entry vigilo.desktop, and the session still starts it.
TEST(XdgAutostart, TheLegacyEntryCountsUntilTheNextSwitchReplacesOrRemovesIt) {
    const TempFolder home;
    const XdgAutostart autostart(home.path(), "/usr/bin/vigilo");
    EXPECT_EQ(autostart.legacyEntryPath(), home.path() / "vigilo.desktop");
    const std::string entry = "[Desktop Entry]\nType=Application\nName=Vigilo\nExec=vigilo\n";

    writeFile(autostart.legacyEntryPath(), entry + "Hidden=true\n");
    EXPECT_FALSE(autostart.isEnabled()) << "switched off in the session's settings";
    writeFile(autostart.legacyEntryPath(), entry);
    EXPECT_TRUE(autostart.isEnabled());

    EXPECT_EQ(autostart.enable(), std::nullopt);
    EXPECT_TRUE(std::filesystem::exists(autostart.entryPath()));
    EXPECT_FALSE(std::filesystem::exists(autostart.legacyEntryPath()))
        << "replaced, so that the session starts the program once";

    writeFile(autostart.legacyEntryPath(), entry);
    EXPECT_EQ(autostart.disable(), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(autostart.entryPath()));
    EXPECT_FALSE(std::filesystem::exists(autostart.legacyEntryPath())) << "both are removed";
    EXPECT_FALSE(autostart.isEnabled());

    // A legacy entry that cannot be removed would start a second copy at login: say so.
    std::filesystem::create_directories(autostart.legacyEntryPath());
    writeFile(autostart.legacyEntryPath() / "inside", "");
    const auto error = autostart.enable();
    ASSERT_TRUE(error);
    EXPECT_TRUE(
        error->starts_with("Не удалось удалить " + autostart.legacyEntryPath().string() + ": "))
        << *error;
}

TEST(XdgAutostart, FailuresNameThePathInRussian) {
    const TempFolder home;

    const auto fileAsFolder = home.path() / "autostart";
    writeFile(fileAsFolder, "not a folder");
    const XdgAutostart blockedFolder(fileAsFolder, "/usr/bin/vigilo");
    const auto folderError = blockedFolder.enable();
    ASSERT_TRUE(folderError);
    EXPECT_TRUE(
        folderError->starts_with("Не удалось создать папку " + fileAsFolder.string() + ": "))
        << *folderError;
    EXPECT_GT(folderError->size(),
              ("Не удалось создать папку " + fileAsFolder.string() + ": ").size())
        << "the system's reason follows";

    // A non-empty folder where the entry should be defeats every user, root included.
    const auto folder = home.path() / "blocked";
    const XdgAutostart blockedEntry(folder, "/usr/bin/vigilo");
    std::filesystem::create_directories(blockedEntry.entryPath());
    writeFile(blockedEntry.entryPath() / "inside", "");
    EXPECT_FALSE(blockedEntry.isEnabled());
    const auto writeError = blockedEntry.enable();
    ASSERT_TRUE(writeError);
    EXPECT_TRUE(
        writeError->starts_with("Не удалось записать " + blockedEntry.entryPath().string() + ": "))
        << *writeError;
    const auto removeError = blockedEntry.disable();
    ASSERT_TRUE(removeError);
    EXPECT_TRUE(
        removeError->starts_with("Не удалось удалить " + blockedEntry.entryPath().string() + ": "))
        << *removeError;
    EXPECT_TRUE(std::filesystem::exists(blockedEntry.entryPath() / "inside"));
}

TEST(XdgAutostart, AReadOnlyFolderIsReported) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes into read-only folders";
    }
    const TempFolder home;
    const XdgAutostart autostart(home.path(), "/usr/bin/vigilo");
    ASSERT_EQ(::chmod(home.path().c_str(), 0500), 0);
    const auto error = autostart.enable();
    ::chmod(home.path().c_str(), 0700);
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->starts_with("Не удалось записать " + autostart.entryPath().string() + ": "))
        << *error;
    EXPECT_FALSE(autostart.isEnabled());
}
