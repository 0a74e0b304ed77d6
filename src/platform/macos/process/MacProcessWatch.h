#pragma once

#include "ports/ProcessWatch.h"

namespace vigilo {

/// Watches processes with kqueue's EVFILT_PROC / NOTE_EXIT, which names one process and never a
/// later one given its PID; the event loop waits on the queue's descriptor, so nothing polls. A
/// process is identified by its start time from the kernel's process table (sysctl KERN_PROC).
class MacProcessWatch final : public ProcessWatch {
public:
    [[nodiscard]] std::optional<ProcessIdentity> identify(std::int64_t pid) override;
    [[nodiscard]] std::unique_ptr<Watch> watch(const ProcessIdentity& process,
                                               std::function<void()> ended) override;
};

} // namespace vigilo
