#include "platform/linux/apps/LinuxProcessApps.h"

#include "platform/linux/apps/LinuxCgroupAppId.h"
#include "platform/posix/UniqueFd.h"
#include "ports/Workspace.h"
#include "util/Files.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
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

/// Field 22 of the process's stat: when it started, in clock ticks since boot. It follows the
/// command name, which may hold spaces and parentheses, so fields count from the last ')'.
std::optional<unsigned long long> startTime(const fs::path& process) {
    const auto text = readFileStart(process / "stat");
    const auto close = text ? text->rfind(')') : std::string::npos;
    if (close == std::string::npos) {
        return std::nullopt;
    }
    std::string_view rest = std::string_view(*text).substr(close + 1);
    constexpr int startField = 22;
    for (int field = 2; field < startField - 1; ++field) { // the fields before the start time
        const auto start = rest.find_first_not_of(' ');
        const auto end = start == std::string_view::npos ? start : rest.find(' ', start);
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        rest.remove_prefix(end);
    }
    rest.remove_prefix(std::min(rest.find_first_not_of(' '), rest.size()));
    unsigned long long ticks = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), ticks);
    return error == std::errc() ? std::optional(ticks) : std::nullopt;
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

std::optional<long> LinuxProcessApps::lastProcessId(std::string_view loadavg) {
    // "0.12 0.08 0.01 1/432 12345": the loads, the running and all tasks, the last id.
    const auto space = loadavg.find_last_of(' ');
    if (space == std::string_view::npos) {
        return std::nullopt;
    }
    const char* first = loadavg.data() + space + 1;
    long lastId = 0;
    const auto [end, error] = std::from_chars(first, loadavg.data() + loadavg.size(), lastId);
    if (error != std::errc{} || end == first) {
        return std::nullopt;
    }
    return lastId;
}

std::vector<std::string> LinuxProcessApps::applicationProcesses() const {
    std::vector<std::string> names;
    for (const auto& [name, seen] : seen_) {
        if (!seen.ids.empty()) {
            names.push_back(name);
        }
    }
    return names;
}

LinuxProcessApps::Listing LinuxProcessApps::listProcesses(const fs::path& procRoot) {
    Listing listing;
    const std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(procRoot.c_str()), ::closedir);
    if (!folder) {
        return listing;
    }
    while (const dirent* entry = ::readdir(folder.get())) {
        std::string name = entry->d_name;
        if (isProcessName(name)) {
            listing.push_back({std::move(name), entry->d_ino});
        }
    }
    std::ranges::sort(listing, {}, &Listed::name);
    return listing;
}

LinuxProcessApps::LinuxProcessApps(fs::path procRoot, uid_t user,
                                   std::set<std::string> programNames)
    : procRoot_(std::move(procRoot))
    , user_(user)
    , programNames_(std::move(programNames)) {}

void LinuxProcessApps::forgetProcesses() const {
    seen_.clear();
    listing_.clear();
    ids_.clear();
    settled_ = false;
}

std::size_t LinuxProcessApps::unseenIn(const Listing& listing) const {
    // Both go by name: one walk along the two.
    std::size_t unseen = 0;
    auto seen = seen_.begin();
    for (const auto& process : listing) {
        while (seen != seen_.end() && seen->first < process.name) {
            ++seen;
        }
        const bool known = seen != seen_.end() && seen->first == process.name &&
                           seen->second.inode == process.inode && seen->second.settled;
        unseen += known ? 0 : 1;
    }
    return unseen;
}

std::set<std::string> LinuxProcessApps::look(const Listing& listing,
                                             const LinuxApplicationIndex& installed) const {
    if (settled_ && listing == listing_) {
        return ids_;
    }
    // Names are looked up relative to the open folder: short lookups are most of what reading
    // a process costs.
    const UniqueFd folder(::open(procRoot_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const int procFd = folder.get();
    if (!folder.isValid()) {
        forgetProcesses();
        return ids_;
    }
    bool settled = true;
    ids_.clear();
    const auto take = [&](const Seen& now) {
        settled = settled && now.settled;
        ids_.insert(now.ids.begin(), now.ids.end());
    };
    // The listing and what was seen both go by name: one walk along the two updates the latter
    // in place.
    auto seen = seen_.begin();
    for (const auto& process : listing) {
        while (seen != seen_.end() && seen->first < process.name) {
            seen = seen_.erase(seen); // ended
        }
        const bool known = seen != seen_.end() && seen->first == process.name;
        if (known && seen->second.inode == process.inode) {
            Seen& now = seen->second;
            if (!now.settled) {
                // The look after the one that read it: a process that exec()ed another program
                // meanwhile is read again.
                auto executable = executablePath(procFd, process.name);
                now.settled = executable == now.executable;
                if (!now.settled) {
                    now.ids = applicationIDs(procRoot_ / process.name, executable, installed);
                    now.executable = std::move(executable);
                }
            }
            take(now);
            ++seen;
            continue;
        }
        auto fresh = readNew(procFd, process, known ? &seen->second : nullptr, installed);
        if (!fresh) { // ended while we looked
            seen = known ? seen_.erase(seen) : seen;
            continue;
        }
        take(*fresh);
        if (known) {
            seen->second = std::move(*fresh);
            ++seen;
        } else {
            seen_.emplace_hint(seen, process.name, std::move(*fresh));
        }
    }
    seen_.erase(seen, seen_.end());
    listing_ = listing;
    settled_ = settled;
    return ids_;
}

std::optional<LinuxProcessApps::Seen>
LinuxProcessApps::readNew(int procFd, const Listed& process, const Seen* before,
                          const LinuxApplicationIndex& installed) const {
    struct stat status {};
    if (::fstatat(procFd, process.name.c_str(), &status, 0) != 0) {
        return std::nullopt;
    }
    Seen seen;
    seen.inode = process.inode;
    seen.isUsers = status.st_uid == user_;
    seen.settled = true;
    if (!seen.isUsers) {
        return seen;
    }
    const auto folder = procRoot_ / process.name;
    seen.startTime = startTime(folder);
    if (before != nullptr && before->isUsers && before->startTime &&
        before->startTime == seen.startTime) {
        // The same process, its folder made anew (the kernel forgot it meanwhile).
        Seen same = *before;
        same.inode = process.inode;
        return same;
    }
    seen.executable = executablePath(procFd, process.name);
    seen.ids = applicationIDs(folder, seen.executable, installed);
    seen.settled = false;
    return seen;
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
