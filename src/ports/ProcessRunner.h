#pragma once

#include <chrono>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace vigilo {

/// What a finished child process left behind.
struct ProcessResult {
    /// Everything it wrote to its standard output, as raw bytes.
    std::string standardOutput;
    /// Its exit status; nothing when it was ended by a signal.
    std::optional<int> exitStatus;
    /// Killed by the runner: it had not finished within its time, or its run was stopped.
    bool killed = false;
};

/// How long a run may take.
struct RunLimit {
    std::chrono::milliseconds timeout;
    /// Once stop is requested, the run ends as if its time were up.
    std::stop_token stop;
};

/// Runs programs as child processes, without a shell.
class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;
    /// Runs the executable at `path` with exactly `arguments`, standard input and standard error
    /// connected to the null device. Reads the output to its end, then waits for the exit.
    /// Returns nothing when the program could not be started.
    [[nodiscard]] virtual std::optional<ProcessResult>
    run(const std::string& path, const std::vector<std::string>& arguments) = 0;
    /// Like `run`, but the program runs in a process group of its own, and that whole group
    /// (the program and whatever it started) is killed when the program has not closed its
    /// output and exited within `limit.timeout`, or as soon as `limit.stop` is requested; the
    /// result then says `killed`.
    [[nodiscard]] virtual std::optional<ProcessResult>
    runWithin(const std::string& path, const std::vector<std::string>& arguments,
              const RunLimit& limit) = 0;
};

} // namespace vigilo
