#include "platform/posix/PrivateFolder.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vigilo {

namespace {

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string accountHome() {
    std::array<char, 4096> buffer{};
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr || found->pw_dir == nullptr) {
        return {};
    }
    return found->pw_dir;
}

std::string quoted(const std::filesystem::path& folder) {
    return "«" + folder.string() + "»";
}

// Folders above the private one are created private too, as the XDG rules ask of the base
// folders; a folder that appeared meanwhile is as good as one made here.
bool makeFolderAndParents(const std::filesystem::path& folder) {
    if (::mkdir(folder.c_str(), S_IRWXU) == 0 || errno == EEXIST) {
        return true;
    }
    if (errno != ENOENT || !folder.has_relative_path()) {
        return false;
    }
    if (!makeFolderAndParents(folder.parent_path())) {
        return false;
    }
    return ::mkdir(folder.c_str(), S_IRWXU) == 0 || errno == EEXIST;
}

} // namespace

FolderEnvironment FolderEnvironment::ofThisProcess() {
    const std::string home = variable("HOME");
    return {.xdgRuntimeDir = variable("XDG_RUNTIME_DIR"),
            .xdgStateHome = variable("XDG_STATE_HOME"),
            .home = home.starts_with('/') ? home : accountHome()};
}

std::filesystem::path stateFolder(const FolderEnvironment& environment) {
    if (environment.xdgStateHome.starts_with('/')) {
        return std::filesystem::path(environment.xdgStateHome) / "vigilo";
    }
    if (environment.home.starts_with('/')) {
        return std::filesystem::path(environment.home) / ".local" / "state" / "vigilo";
    }
    return {};
}

std::filesystem::path instanceLockFolder(uid_t uid, const std::filesystem::path& runtimeRoot,
                                         const std::filesystem::path& tempRoot) {
    const std::filesystem::path runtime = runtimeRoot / std::to_string(uid);
    struct stat status {};
    if (::lstat(runtime.c_str(), &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == uid) {
        return runtime / "vigilo";
    }
    return tempRoot / ("vigilo-" + std::to_string(uid));
}

std::filesystem::path sessionFolder(const FolderEnvironment& environment) {
    std::error_code error;
    if (environment.xdgRuntimeDir.starts_with('/') &&
        std::filesystem::is_directory(environment.xdgRuntimeDir, error)) {
        return std::filesystem::path(environment.xdgRuntimeDir) / "vigilo";
    }
    return stateFolder(environment);
}

std::optional<std::string> privateFolderRefusal(const std::filesystem::path& folder) {
    if (!folder.is_absolute()) {
        return "нет папки для личных файлов: путь " + quoted(folder) + " не абсолютный";
    }
    if (!makeFolderAndParents(folder)) {
        return "не удалось создать папку " + quoted(folder) + ": " + std::strerror(errno);
    }
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0) {
        return "не удалось проверить папку " + quoted(folder) + ": " + std::strerror(errno);
    }
    if (!S_ISDIR(info.st_mode)) {
        return quoted(folder) + " — не папка (ссылка или файл)";
    }
    if (info.st_uid != ::getuid()) {
        return "папка " + quoted(folder) + " принадлежит другому пользователю (uid " +
               std::to_string(info.st_uid) + ")";
    }
    if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        std::array<char, 8> mode{};
        std::snprintf(mode.data(), mode.size(), "%04o", info.st_mode & 07777U);
        return "папка " + quoted(folder) + " открыта другим пользователям (права " + mode.data() +
               ")";
    }
    return std::nullopt;
}

} // namespace vigilo
