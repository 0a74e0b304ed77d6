#pragma once

#include "platform/linux/apps/LinuxDesktopEntry.h"

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vigilo {

/// The installed applications: the desktop entries of the `applications` folders, keyed by
/// desktop-file id (the path below the folder with `/` turned into `-`, without ".desktop").
/// When folders hold the same id, the first folder wins; a hidden entry there hides the id.
class LinuxApplicationIndex {
public:
    struct Application {
        std::filesystem::path path;
        LinuxDesktopEntry entry;
    };

    /// Reads every desktop entry below `applicationFolders`, most important folder first.
    explicit LinuxApplicationIndex(const std::vector<std::filesystem::path>& applicationFolders);

    /// The application with desktop-file id `id`, if installed.
    [[nodiscard]] const Application* find(const std::string& id) const;

    /// Every application by desktop-file id, those kept out of menus (NoDisplay) included.
    [[nodiscard]] const std::map<std::string, Application>& applications() const {
        return applications_;
    }

    /// The desktop-file id of the file at `path`: from its place below one of the folders, else
    /// its file name. Nothing for a file not named "*.desktop".
    [[nodiscard]] std::optional<std::string> desktopFileId(const std::filesystem::path& path) const;

    /// Ids of the shown applications whose entry names this process: its executable's file
    /// name or its command name (`comm`, cut to 15 bytes by the kernel) equals the program of
    /// Exec or TryExec, or equals StartupWMClass ignoring case. Sorted.
    [[nodiscard]] std::vector<std::string> idsForProcess(std::string_view executableName,
                                                         std::string_view commandName) const;

    /// True when a folder changed (an entry was added or removed) since the index was read.
    [[nodiscard]] bool isOutdated() const;

private:
    struct Folder {
        std::filesystem::path path;
        std::filesystem::file_time_type modified;
    };

    void indexProcessNames(const std::string& id, const LinuxDesktopEntry& entry);

    std::vector<Folder> folders_;
    std::map<std::string, Application> applications_;
    std::multimap<std::string, std::string> idsByProgram_;
    std::multimap<std::string, std::string> idsByWindowClass_;
};

/// The program an Exec line starts: its first argument (past an `env VAR=value` prefix),
/// quoting resolved, as a file name without folders.
[[nodiscard]] std::string execProgramName(std::string_view exec);

} // namespace vigilo
