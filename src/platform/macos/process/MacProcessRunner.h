#pragma once

#include "ports/ProcessRunner.h"

namespace vigilo {

/// Runs programs with `posix_spawn` using only what POSIX and macOS offer: no shell, standard
/// input and standard error on the null device. Where the system can close every other
/// descriptor at the spawn (macOS), no descriptor of ours but the output pipe reaches the child.
/// A run with a limit watches the output and the stop request with poll(2) and checks for the
/// child's exit between short waits once its output has ended.
class MacProcessRunner final : public ProcessRunner {
public:
    [[nodiscard]] std::optional<ProcessResult>
    run(const std::string& path, const std::vector<std::string>& arguments) override;
    [[nodiscard]] std::optional<ProcessResult> runWithin(const std::string& path,
                                                         const std::vector<std::string>& arguments,
                                                         const RunLimit& limit) override;
};

} // namespace vigilo
