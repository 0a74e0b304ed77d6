#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vigilo {

/// What a finished child process left behind.
struct ProcessResult {
    /// Everything it wrote to its standard output, as raw bytes.
    std::string standardOutput;
    /// Its exit status; nothing when it was ended by a signal.
    std::optional<int> exitStatus;
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
};

} // namespace vigilo
