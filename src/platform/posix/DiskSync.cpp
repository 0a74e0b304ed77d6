#include "platform/posix/DiskSync.h"

#include "platform/posix/UniqueFd.h"

#include <fcntl.h>

namespace vigilo {

bool syncToDisk(const std::filesystem::path& path) {
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    return fd.isValid() && ::fsync(fd.get()) == 0;
}

} // namespace vigilo
