#pragma once

#include "platform/ports/ProcessRunner.h"

namespace vigilo {

/// Runs programs with `posix_spawn`: no shell, standard input and standard error on the null
/// device, and no descriptor of ours other than the output pipe reaches the child.
class PosixProcessRunner final : public ProcessRunner {
public:
    [[nodiscard]] std::optional<ProcessResult>
    run(const std::string& path, const std::vector<std::string>& arguments) override;
};

} // namespace vigilo
