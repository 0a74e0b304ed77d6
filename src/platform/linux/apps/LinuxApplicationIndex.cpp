#include "platform/linux/apps/LinuxApplicationIndex.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <set>

namespace vigilo {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t commandNameLength = 15;

// Entries that start an application through one of these name the launcher, not the
// application: matching processes by them would count every shell or Python program as it.
constexpr std::array launcherPrograms{"sh",      "bash", "env",  "flatpak", "snap",   "python",
                                      "python3", "perl", "java", "gjs",     "pkexec", "sudo"};

std::string lowercase(std::string_view text) {
    std::string lower(text);
    std::ranges::transform(lower, lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower;
}

std::string fileName(std::string_view path) {
    const auto slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::vector<std::string> execArguments(std::string_view exec) {
    std::vector<std::string> arguments;
    std::size_t i = 0;
    while (i < exec.size()) {
        if (exec[i] == ' ' || exec[i] == '\t') {
            ++i;
            continue;
        }
        std::string argument;
        if (exec[i] == '"') {
            for (++i; i < exec.size() && exec[i] != '"'; ++i) {
                if (exec[i] == '\\' && i + 1 < exec.size()) {
                    ++i;
                }
                argument += exec[i];
            }
            ++i;
        } else {
            for (; i < exec.size() && exec[i] != ' ' && exec[i] != '\t'; ++i) {
                argument += exec[i];
            }
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

std::optional<fs::file_time_type> modificationTime(const fs::path& folder) {
    std::error_code error;
    const auto time = fs::last_write_time(folder, error);
    return error ? std::nullopt : std::optional(time);
}

} // namespace

std::string execProgramName(std::string_view exec) {
    const auto arguments = execArguments(exec);
    auto argument = arguments.begin();
    if (argument != arguments.end() && fileName(*argument) == "env") {
        // Past env's options (two of them take the next argument) and its variable settings.
        for (++argument; argument != arguments.end(); ++argument) {
            if (*argument == "-u" || *argument == "-C") {
                if (++argument == arguments.end()) {
                    break;
                }
            } else if (!argument->starts_with('-') && argument->find('=') == std::string::npos) {
                break;
            }
        }
    }
    return argument == arguments.end() ? std::string() : fileName(*argument);
}

LinuxApplicationIndex::LinuxApplicationIndex(const std::vector<fs::path>& applicationFolders) {
    std::set<std::string> seen;
    for (const auto& folder : applicationFolders) {
        folders_.push_back({folder, modificationTime(folder).value_or(fs::file_time_type::min())});
        std::error_code error;
        for (fs::recursive_directory_iterator
                 file(folder, fs::directory_options::skip_permission_denied, error),
             end;
             !error && file != end; file.increment(error)) {
            const fs::path& path = file->path();
            std::error_code typeError;
            if (path.extension() != ".desktop" || !file->is_regular_file(typeError)) {
                continue;
            }
            auto id = path.lexically_relative(folder).replace_extension().generic_string();
            std::ranges::replace(id, '/', '-');
            if (!seen.insert(id).second) {
                continue;
            }
            auto entry = readDesktopEntry(path);
            if (!entry || entry->hidden || entry->type != "Application") {
                continue;
            }
            indexProcessNames(id, *entry);
            applications_.emplace(id, Application{path, std::move(*entry)});
        }
    }
}

void LinuxApplicationIndex::indexProcessNames(const std::string& id,
                                              const LinuxDesktopEntry& entry) {
    if (entry.noDisplay) {
        return; // helpers and handlers, not applications the user starts
    }
    std::set<std::string> programs;
    if (entry.exec) {
        programs.insert(execProgramName(*entry.exec));
    }
    if (entry.tryExec) {
        programs.insert(fileName(*entry.tryExec));
    }
    for (const auto& program : programs) {
        if (!program.empty() &&
            std::ranges::find(launcherPrograms, program) == launcherPrograms.end()) {
            idsByProgram_.emplace(program, id);
        }
    }
    if (entry.startupWMClass && !entry.startupWMClass->empty()) {
        idsByWindowClass_.emplace(lowercase(*entry.startupWMClass), id);
    }
}

const LinuxApplicationIndex::Application* LinuxApplicationIndex::find(const std::string& id) const {
    const auto found = applications_.find(id);
    return found == applications_.end() ? nullptr : &found->second;
}

std::optional<std::string> LinuxApplicationIndex::desktopFileId(const fs::path& path) const {
    if (path.extension() != ".desktop") {
        return std::nullopt;
    }
    const auto file = fs::absolute(path).lexically_normal();
    for (const auto& folder : folders_) {
        const auto relative = file.lexically_relative(fs::absolute(folder.path).lexically_normal());
        if (!relative.empty() && *relative.begin() != "..") {
            auto id = fs::path(relative).replace_extension().generic_string();
            std::ranges::replace(id, '/', '-');
            return id;
        }
    }
    return file.stem().string();
}

std::vector<std::string> LinuxApplicationIndex::idsForProcess(std::string_view executableName,
                                                              std::string_view commandName) const {
    std::set<std::string> ids;
    const auto collect = [&](const std::multimap<std::string, std::string>& index,
                             const std::string& key) {
        const auto [first, last] = index.equal_range(key);
        for (auto each = first; each != last; ++each) {
            ids.insert(each->second);
        }
    };
    if (!executableName.empty()) {
        collect(idsByProgram_, std::string(executableName));
        collect(idsByWindowClass_, lowercase(executableName));
    }
    if (!commandName.empty()) {
        // A name cut by the kernel matches every program it begins.
        if (commandName.size() == commandNameLength) {
            for (auto each = idsByProgram_.lower_bound(std::string(commandName));
                 each != idsByProgram_.end() && each->first.starts_with(commandName); ++each) {
                ids.insert(each->second);
            }
        } else {
            collect(idsByProgram_, std::string(commandName));
        }
        collect(idsByWindowClass_, lowercase(commandName));
    }
    return {ids.begin(), ids.end()};
}

bool LinuxApplicationIndex::isOutdated() const {
    return std::ranges::any_of(folders_, [](const Folder& folder) {
        return modificationTime(folder.path).value_or(fs::file_time_type::min()) != folder.modified;
    });
}

} // namespace vigilo
