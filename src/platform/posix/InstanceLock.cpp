#include "platform/posix/InstanceLock.h"

#include "platform/posix/PrivateFolder.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <utility>

namespace vigilo {

InstanceLock::InstanceLock(Outcome outcome, std::string refusal, UniqueFd file)
    : outcome_(outcome)
    , refusal_(std::move(refusal))
    , file_(std::move(file)) {}

InstanceLock InstanceLock::take(const std::filesystem::path& folder) {
    if (auto refusal = privateFolderRefusal(folder)) {
        return {Outcome::Refused, std::move(*refusal), UniqueFd()};
    }
    const std::filesystem::path path = folder / "instance.lock";
    // O_CLOEXEC: a program started from the tray must not keep the lock after Vigilo ends.
    UniqueFd file(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!file.isValid()) {
        return {Outcome::Refused,
                "не удалось открыть «" + path.string() + "»: " + std::strerror(errno), UniqueFd()};
    }
    if (::flock(file.get(), LOCK_EX | LOCK_NB) == 0) {
        return {Outcome::Held, {}, std::move(file)};
    }
    if (errno == EWOULDBLOCK) {
        return {Outcome::HeldByAnother, {}, UniqueFd()};
    }
    return {Outcome::Refused,
            "не удалось заблокировать «" + path.string() + "»: " + std::strerror(errno),
            UniqueFd()};
}

} // namespace vigilo
