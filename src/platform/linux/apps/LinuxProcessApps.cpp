#include "platform/linux/apps/LinuxProcessApps.h"

#include "platform/linux/apps/LinuxCgroupAppId.h"
#include "ports/Workspace.h"
#include "util/Files.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <climits>
#include <dirent.h>
#include <fstream>
#include <memory>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace vigilo {

namespace fs = std::filesystem;

namespace {

std::string fileText(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return std::move(text).str();
}

bool isProcessName(const std::string& name) {
    return !name.empty() &&
           std::ranges::all_of(name, [](unsigned char c) { return std::isdigit(c); });
}

/// Where <PID>/exe below the open /proc folder points; empty when it cannot be read (kernel
/// threads, processes of other users).
std::string executablePath(int procFd, const std::string& process) {
    std::string target(PATH_MAX, '\0');
    const auto length =
        ::readlinkat(procFd, (process + "/exe").c_str(), target.data(), target.size());
    target.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return target;
}

std::string executableName(const std::string& path) {
    auto name = fs::path(path).filename().string();
    constexpr std::string_view deleted = " (deleted)"; // the binary was replaced by an update
    if (name.ends_with(deleted)) {
        name.resize(name.size() - deleted.size());
    }
    return name;
}

std::string commandName(const fs::path& process) {
    auto name = fileText(process / "comm");
    while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) {
        name.pop_back();
    }
    return name;
}

bool isInterpreter(std::string_view program) {
    constexpr std::array interpreters{"node", "nodejs", "bun", "deno"};
    if (std::ranges::find(interpreters, program) != interpreters.end()) {
        return true;
    }
    // python, python3, python3.12
    return program.starts_with("python") && std::ranges::all_of(program.substr(6), [](char c) {
               return std::isdigit(static_cast<unsigned char>(c)) || c == '.';
           });
}

/// The file names of argv[0] and of the script: the first argument that is no option, past the
/// "run" of bun and deno. Both sit at the start of the command line, so its first page will do.
std::vector<std::string> interpreterRunsAs(const fs::path& process) {
    const auto commandLine = readFileStart(process / "cmdline").value_or(std::string());
    std::vector<std::string_view> arguments;
    for (std::string_view rest = commandLine; !rest.empty();) {
        const auto end = rest.find('\0');
        arguments.push_back(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    std::vector<std::string> names;
    if (arguments.empty()) {
        return names;
    }
    names.push_back(fs::path(arguments.front()).filename().string());
    const auto script =
        std::ranges::find_if(arguments.begin() + 1, arguments.end(), [](auto argument) {
            return !argument.empty() && !argument.starts_with('-') && argument != "run";
        });
    if (script != arguments.end()) {
        names.push_back(fs::path(*script).filename().string());
    }
    return names;
}

/// The application a process belongs to, by the first of: its systemd application unit, its
/// Flatpak sandbox, its Snap unit, its program matched against the installed entries.
std::vector<std::string> desktopApplicationIDs(const fs::path& process, const std::string& program,
                                               const std::string& command,
                                               const LinuxApplicationIndex& installed) {
    const auto cgroup = fileText(process / "cgroup");
    if (auto id = systemdApplicationId(cgroup)) {
        return {std::move(*id)};
    }
    // root is the process's view of the file system; inside a sandbox it holds .flatpak-info.
    if (auto id = flatpakApplicationId(fileText(process / "root" / ".flatpak-info"))) {
        return {std::move(*id)};
    }
    if (auto id = snapApplicationId(cgroup)) {
        return {std::move(*id)};
    }
    return installed.idsForProcess(program, command);
}

} // namespace

LinuxProcessApps::LinuxProcessApps(fs::path procRoot, uid_t user,
                                   std::set<std::string> programNames)
    : procRoot_(std::move(procRoot))
    , user_(user)
    , programNames_(std::move(programNames)) {}

std::set<std::string>
LinuxProcessApps::runningApplicationIDs(const LinuxApplicationIndex& installed) const {
    std::set<std::string> ids;
    std::map<std::string, Seen> current;
    // Names are looked up relative to the open folder: a poll touches every process, and short
    // lookups are most of what it costs.
    const std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(procRoot_.c_str()), ::closedir);
    if (!folder) {
        seen_.clear();
        return ids;
    }
    const int folderFd = ::dirfd(folder.get());
    while (const dirent* entry = ::readdir(folder.get())) {
        const std::string name = entry->d_name;
        struct stat status {};
        if (!isProcessName(name) || ::fstatat(folderFd, name.c_str(), &status, 0) != 0 ||
            status.st_uid != user_) {
            continue;
        }
        auto executable = executablePath(folderFd, name);
        auto seen = seen_.find(name);
        if (seen == seen_.end() || seen->second.executable != executable) {
            auto found = applicationIDs(procRoot_ / name, executable, installed);
            seen =
                seen_.insert_or_assign(name, Seen{std::move(executable), std::move(found)}).first;
        }
        ids.insert(seen->second.ids.begin(), seen->second.ids.end());
        current.insert(*seen);
    }
    seen_ = std::move(current);
    return ids;
}

std::vector<std::string>
LinuxProcessApps::applicationIDs(const fs::path& process, const std::string& executable,
                                 const LinuxApplicationIndex& installed) const {
    const auto program = executableName(executable);
    const auto command = commandName(process);
    auto ids = desktopApplicationIDs(process, program, command, installed);
    // A command-line program runs inside its terminal's unit, if any, so every process is looked
    // at. One without an executable is a kernel thread or has ended.
    if (!executable.empty()) {
        for (const auto& name : runsAs(process, program, command)) {
            ids.push_back(std::string(processNamePrefix) + name);
        }
    }
    return ids;
}

std::set<std::string> LinuxProcessApps::runsAs(const fs::path& process,
                                               const std::string& executableName,
                                               const std::string& commandName) const {
    std::set<std::string> names;
    const auto take = [&](const std::string& name) {
        if (programNames_.contains(name)) {
            names.insert(name);
        }
    };
    take(executableName);
    take(commandName);
    if (names.empty() && isInterpreter(executableName)) {
        for (const auto& name : interpreterRunsAs(process)) {
            take(name);
        }
    }
    return names;
}

} // namespace vigilo
