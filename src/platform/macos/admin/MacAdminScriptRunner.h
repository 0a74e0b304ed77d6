#pragma once

#include "ports/AdminScriptRunner.h"

#include <optional>
#include <string>

namespace vigilo {

/// AppleScript through NSAppleScript, in this process: a script that says "with administrator
/// privileges" brings up the system's password dialog. Main thread only; blocks until the script
/// has ended.
class MacAdminScriptRunner final : public AdminScriptRunner {
public:
    [[nodiscard]] std::optional<std::string> run(const std::string& source) override;
};

} // namespace vigilo
