#pragma once

#include <optional>
#include <string>

namespace vigilo {

/// Runs a script with administrator rights after the system's own password dialog (macOS).
class AdminScriptRunner {
public:
    virtual ~AdminScriptRunner() = default;
    /// Runs the script `source` synchronously. Returns nothing when it ran (or could not even be
    /// compiled, so nothing ran), or the failure: the message the scripting service gave, or
    /// nothing more specific than an empty text when it gave none.
    [[nodiscard]] virtual std::optional<std::string> run(const std::string& source) = 0;
};

} // namespace vigilo
