#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace vigilo {

/// One process, told apart from a later one that is given the same PID: the start time is the
/// system's own count (ticks since boot on Linux), compared only for equality.
struct ProcessIdentity {
    std::int64_t pid = 0;
    std::uint64_t startTime = 0;
    /// The program's name as the system knows it ("make"), for the texts.
    std::string name;
    bool operator==(const ProcessIdentity&) const = default;
};

/// Tells when a process ends. Main thread only.
class ProcessWatch {
public:
    /// Keeps the watch going; destroying it stops the watch, and its report never comes.
    class Watch {
    public:
        virtual ~Watch() = default;
    };

    virtual ~ProcessWatch() = default;
    /// The process running under `pid` now, or nothing when there is none that can be seen.
    [[nodiscard]] virtual std::optional<ProcessIdentity> identify(std::int64_t pid) = 0;
    /// Calls `ended` once on the main thread, never from within this call, when `process` ends:
    /// soon when it has already ended, or when its PID now belongs to another process.
    [[nodiscard]] virtual std::unique_ptr<Watch> watch(const ProcessIdentity& process,
                                                       std::function<void()> ended) = 0;
};

} // namespace vigilo
