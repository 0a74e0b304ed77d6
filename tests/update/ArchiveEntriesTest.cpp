#include "util/ArchiveEntries.h"

#include <gtest/gtest.h>

namespace vigilo {
namespace {

using Kind = ArchiveEntry::Kind;

ArchiveEntry file(std::string path) {
    return {std::move(path), Kind::file, {}};
}
ArchiveEntry folder(std::string path) {
    return {std::move(path), Kind::directory, {}};
}
ArchiveEntry symlink(std::string path, std::string target) {
    return {std::move(path), Kind::symlink, std::move(target)};
}
ArchiveEntry hardlink(std::string path, std::string target) {
    return {std::move(path), Kind::hardlink, std::move(target)};
}

TEST(ArchiveEntriesTest, OnlyEntriesThatStayInsideTheFolderPass) {
    struct Case {
        const char* name;
        std::vector<ArchiveEntry> entries;
        bool staysInside;
    };
    const Case cases[] = {
        {"a program folder",
         {folder("./"), folder("vigilo-1.3/"), file("vigilo-1.3/bin/vigilo"),
          file("vigilo-1.3/lib/libQt6Core.so.6.4.2"),
          symlink("vigilo-1.3/lib/libQt6Core.so.6", "libQt6Core.so.6.4.2"),
          symlink("vigilo-1.3/current", "./lib/."),
          hardlink("vigilo-1.3/bin/vigilo-copy", "vigilo-1.3/bin/vigilo")},
         true},
        {"nothing", {}, true},
        {"an absolute path", {file("/etc/passwd")}, false},
        {"a step up", {file("vigilo/../../evil")}, false},
        {"a step up that comes back", {file("vigilo/../vigilo/bin")}, false},
        {"an empty path", {file("")}, false},
        {"a file in place of the folder", {file("./")}, false},
        {"a link in place of the folder", {symlink(".", "x")}, false},
        {"a link to an absolute path", {symlink("vigilo/etc", "/etc")}, false},
        {"a link stepping up", {symlink("vigilo/up", "../x")}, false},
        {"a link with no target", {symlink("vigilo/none", "")}, false},
        {"a hard link to an absolute path", {hardlink("vigilo/p", "/etc/passwd")}, false},
        {"a hard link stepping up", {hardlink("vigilo/p", "vigilo/../../p")}, false},
        {"a hard link to the folder", {hardlink("vigilo/p", ".")}, false},
        {"a device or a pipe", {{"vigilo/dev", Kind::other, {}}}, false},
        {"a file written through a link", {symlink("a", "."), file("a/b")}, false},
        {"a link listed after the entry below it",
         {folder("a/"), symlink("a/b/c", "x"), symlink("a/b", "sub")},
         false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(staysInsideFolder(c.entries), c.staysInside) << c.name;
    }
}

} // namespace
} // namespace vigilo
