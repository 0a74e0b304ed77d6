#pragma once

#include "ports/ProcessRunner.h"

#include <map>

namespace vigilo::fakes {

/// Answers runs from a table keyed by the argument list; unknown runs cannot start.
class FakeProcessRunner final : public ProcessRunner {
public:
    struct Call {
        std::string path;
        std::vector<std::string> arguments;
    };

    [[nodiscard]] std::optional<ProcessResult>
    run(const std::string& path, const std::vector<std::string>& arguments) override {
        calls.push_back({path, arguments});
        const auto found = outputs.find(arguments);
        if (found == outputs.end()) {
            return std::nullopt;
        }
        return ProcessResult{.standardOutput = found->second, .exitStatus = 0};
    }
    /// As `run`: the answers here come at once.
    [[nodiscard]] std::optional<ProcessResult> runWithin(const std::string& path,
                                                         const std::vector<std::string>& arguments,
                                                         const RunLimit& /*limit*/) override {
        return run(path, arguments);
    }

    std::map<std::vector<std::string>, std::string> outputs;
    std::vector<Call> calls;
};

} // namespace vigilo::fakes
