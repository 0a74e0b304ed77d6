#pragma once

#include <string>

namespace vigilo {

/// What the login-item alert says on macOS: the system's error, then the advice that usually
/// mends it (a program outside /Applications cannot be a login item).
[[nodiscard]] inline std::string macLoginItemFailure(const std::string& error) {
    return error + "\n\nПереместите приложение в /Applications и попробуйте снова.";
}

} // namespace vigilo
