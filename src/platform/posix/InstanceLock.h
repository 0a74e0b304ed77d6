#pragma once

#include "platform/posix/UniqueFd.h"

#include <filesystem>
#include <string>

namespace vigilo {

/// What keeps a second Vigilo of the same user from starting, whatever its environment: an
/// exclusive lock (flock) on "instance.lock" in a folder of the user's that does not depend on
/// the session's variables or the control socket (`instanceLockFolder`). The kernel drops the lock
/// with the process, so a crash leaves nothing to clean up, and programs the instance starts do not
/// inherit it.
class InstanceLock final {
public:
    enum class Outcome {
        Held,
        /// Another process holds the lock: an instance runs.
        HeldByAnother,
        /// The folder or the file is unfit or unusable; `refusal()` says why.
        Refused,
    };

    /// Takes the lock in `folder`, creating the private folder and the file as needed.
    [[nodiscard]] static InstanceLock take(const std::filesystem::path& folder);

    [[nodiscard]] Outcome outcome() const { return outcome_; }
    /// For `Refused`: what is wrong, in a sentence.
    [[nodiscard]] const std::string& refusal() const { return refusal_; }

private:
    InstanceLock(Outcome outcome, std::string refusal, UniqueFd file);

    Outcome outcome_;
    std::string refusal_;
    UniqueFd file_;
};

} // namespace vigilo
