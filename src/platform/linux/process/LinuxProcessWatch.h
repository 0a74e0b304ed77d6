#pragma once

#include "ports/ProcessWatch.h"

#include <filesystem>

namespace vigilo {

/// Watches processes through process descriptors (`pidfd_open`): a descriptor names one
/// process, never a later one given its PID, and becomes readable when it ends. The event loop
/// waits on it, so nothing polls. A process is identified by its start time in /proc, which
/// tells a reused PID apart across a relaunch. Kernels before 5.3 have no process descriptors:
/// there the process's /proc entry is looked at every two seconds instead. (macOS watches with
/// kqueue's EVFILT_PROC in its own adapter.)
class LinuxProcessWatch final : public ProcessWatch {
public:
    explicit LinuxProcessWatch(std::filesystem::path procRoot = "/proc");

    [[nodiscard]] std::optional<ProcessIdentity> identify(std::int64_t pid) override;
    [[nodiscard]] std::unique_ptr<Watch> watch(const ProcessIdentity& process,
                                               std::function<void()> ended) override;

    /// The identity in the text of /proc/<pid>/stat, or nothing when it is not one.
    [[nodiscard]] static std::optional<ProcessIdentity> fromStat(std::int64_t pid,
                                                                 const std::string& stat);

private:
    std::filesystem::path procRoot_;
};

} // namespace vigilo
