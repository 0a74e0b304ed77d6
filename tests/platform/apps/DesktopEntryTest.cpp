#include "platform/linux/apps/LinuxApplicationIndex.h"
#include "platform/linux/apps/LinuxDesktopEntry.h"

#include <gtest/gtest.h>

namespace vigilo {
namespace {

TEST(DesktopEntryTest, ReadsOnlyTheEntryGroupWithItsEscapesCommentsAndSpacing) {
    const auto entry = parseDesktopEntry("Name=Before any group\n"
                                         "# comment\n"
                                         "\n"
                                         "[Desktop Entry]\r\n"
                                         "  # indented comment\n"
                                         "Type=Application\n"
                                         "Name = Tab\\tand\\sspace\\\\\\n\\rend\n"
                                         "Name[ru_RU]=Не то\n"
                                         "Name[ru]=Вкладка\n"
                                         "Icon=/usr/share/icons/a\\sb.png\r\n"
                                         "Exec=\"/opt/My App/run\" --flag=a\\;b %u\n"
                                         "TryExec=/opt/run\n"
                                         "StartupWMClass=RunWin\n"
                                         "NoDisplay=true\n"
                                         "Hidden=false\n"
                                         "no equals sign here\n"
                                         "[Desktop Action new]\n"
                                         "Name=Action\n"
                                         "NoDisplay=false\n");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->type, "Application");
    EXPECT_EQ(entry->name, "Tab\tand space\\\n\rend");
    EXPECT_EQ(entry->localizedName, "Вкладка");
    EXPECT_EQ(entry->icon, "/usr/share/icons/a b.png");
    EXPECT_EQ(entry->exec, "\"/opt/My App/run\" --flag=a\\;b %u");
    EXPECT_EQ(entry->tryExec, "/opt/run");
    EXPECT_EQ(entry->startupWMClass, "RunWin");
    EXPECT_TRUE(entry->noDisplay);
    EXPECT_FALSE(entry->hidden);
}

TEST(DesktopEntryTest, TextWithoutTheEntryGroupIsNoEntryAndMissingKeysStayAbsent) {
    EXPECT_FALSE(parseDesktopEntry(""));
    EXPECT_FALSE(parseDesktopEntry("Name=x\n[Other]\nName=y\n"));
    EXPECT_FALSE(readDesktopEntry(VIGILO_TEST_DATA "/linux-apps/system/applications/notes.txt"));
    EXPECT_FALSE(readDesktopEntry(VIGILO_TEST_DATA "/linux-apps/missing.desktop"));

    const auto entry = parseDesktopEntry("[Other]\nName=y\n[Desktop Entry]\nHidden=true\nName=z\\");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->name, "z\\");
    EXPECT_TRUE(entry->hidden);
    EXPECT_FALSE(entry->localizedName);
    EXPECT_FALSE(entry->icon);
    EXPECT_TRUE(entry->type.empty());
}

TEST(DesktopEntryTest, NamesThatAreNotUtf8AreRepairedAndOtherValuesKeepTheirBytes) {
    const auto entry = parseDesktopEntry("[Desktop Entry]\n"
                                         "Name=Caf\xe9 \xff\xfeOK\n"
                                         "Name[ru]=\xd0\n"
                                         "Exec=/opt/caf\xe9/run\n"
                                         "TryExec=caf\xe9\n");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->name, "Caf\uFFFD \uFFFD\uFFFDOK");
    EXPECT_EQ(entry->localizedName, "\uFFFD");
    EXPECT_EQ(entry->exec, "/opt/caf\xe9/run");
    EXPECT_EQ(entry->tryExec, "caf\xe9");
}

TEST(DesktopEntryTest, ExecProgramIsTheFirstArgumentPastEnvWithQuotingResolved) {
    EXPECT_EQ(execProgramName("firefox %u"), "firefox");
    EXPECT_EQ(execProgramName("  /usr/bin/gimp-2.10 %U"), "gimp-2.10");
    EXPECT_EQ(execProgramName("\"/opt/My App/bin/my app\" --new"), "my app");
    EXPECT_EQ(execProgramName("\"/opt/q\\\"uote/run\\\"er\""), "run\"er");
    EXPECT_EQ(execProgramName("env LANG=C -u X GDK_BACKEND=x11 /opt/tool/bin/tool"), "tool");
    EXPECT_EQ(execProgramName("/usr/bin/env A=1"), "");
    EXPECT_EQ(execProgramName("env -u"), "");
    EXPECT_EQ(execProgramName(""), "");
}

} // namespace
} // namespace vigilo
