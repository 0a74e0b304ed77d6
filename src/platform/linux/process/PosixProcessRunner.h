#pragma once

#include "ports/ProcessRunner.h"

namespace vigilo {

/// Runs programs with `posix_spawn`: no shell, standard input and standard error on the null
/// device, and no descriptor of ours other than the output pipe reaches the child. A run with a
/// limit needs Linux 5.3 or later (it waits for the exit through a pidfd).
class PosixProcessRunner final : public ProcessRunner {
public:
    [[nodiscard]] std::optional<ProcessResult>
    run(const std::string& path, const std::vector<std::string>& arguments) override;
    [[nodiscard]] std::optional<ProcessResult> runWithin(const std::string& path,
                                                         const std::vector<std::string>& arguments,
                                                         const RunLimit& limit) override;
};

} // namespace vigilo
