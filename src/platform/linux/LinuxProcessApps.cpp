#include "platform/linux/LinuxProcessApps.h"

#include "platform/linux/LinuxCgroupAppId.h"

#include <algorithm>
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

} // namespace

LinuxProcessApps::LinuxProcessApps(fs::path procRoot, uid_t user)
    : procRoot_(std::move(procRoot))
    , user_(user) {}

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
    return installed.idsForProcess(executableName(executable), commandName(process));
}

} // namespace vigilo
