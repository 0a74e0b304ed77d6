#include "platform/linux/LinuxProcessApps.h"

#include "platform/linux/LinuxCgroupAppId.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace vigilo {

namespace fs = std::filesystem;

namespace {

std::string fileText(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return std::move(text).str();
}

bool isProcessFolder(const fs::directory_entry& entry) {
    const auto name = entry.path().filename().string();
    return !name.empty() &&
           std::ranges::all_of(name, [](unsigned char c) { return std::isdigit(c); });
}

std::string executableName(const fs::path& process) {
    std::error_code error;
    const auto target = fs::read_symlink(process / "exe", error);
    if (error) {
        return {};
    }
    auto name = target.filename().string();
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
    std::error_code error;
    for (fs::directory_iterator entry(procRoot_, error), end; !error && entry != end;
         entry.increment(error)) {
        struct stat status {};
        if (isProcessFolder(*entry) && ::stat(entry->path().c_str(), &status) == 0 &&
            status.st_uid == user_) {
            addApplicationIDs(entry->path(), installed, ids);
        }
    }
    return ids;
}

void LinuxProcessApps::addApplicationIDs(const fs::path& process,
                                         const LinuxApplicationIndex& installed,
                                         std::set<std::string>& ids) const {
    const auto cgroup = fileText(process / "cgroup");
    if (auto id = systemdApplicationId(cgroup)) {
        ids.insert(std::move(*id));
        return;
    }
    // root is the process's view of the file system; inside a sandbox it holds .flatpak-info.
    if (auto id = flatpakApplicationId(fileText(process / "root" / ".flatpak-info"))) {
        ids.insert(std::move(*id));
        return;
    }
    if (auto id = snapApplicationId(cgroup)) {
        ids.insert(std::move(*id));
        return;
    }
    for (auto& id : installed.idsForProcess(executableName(process), commandName(process))) {
        ids.insert(std::move(id));
    }
}

} // namespace vigilo
