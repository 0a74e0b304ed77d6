#include "platform/linux/PrivateFolder.h"

#include <cerrno>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace vigilo {

namespace {

bool isPrivateFolder(const std::filesystem::path& folder) {
    struct stat info {};
    return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

} // namespace

std::filesystem::path sessionFolder(std::string_view xdgRuntimeDir, uid_t uid) {
    std::error_code error;
    if (xdgRuntimeDir.starts_with('/') && std::filesystem::is_directory(xdgRuntimeDir, error)) {
        return std::filesystem::path(xdgRuntimeDir) / "vigilo";
    }
    return "/tmp/vigilo-" + std::to_string(uid);
}

bool makePrivateFolder(const std::filesystem::path& folder) {
    if (::mkdir(folder.c_str(), S_IRWXU) != 0 && errno != EEXIST) {
        return false;
    }
    return isPrivateFolder(folder);
}

} // namespace vigilo
