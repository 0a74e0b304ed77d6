#include "platform/macos/power/LidGuard.h"

#include <algorithm>
#include <array>

namespace vigilo {

std::string LidGuard::InstallError::errorDescription() const {
    return kind == Kind::UnsafeUserName ? "Имя пользователя содержит неожиданные символы."
                                        : message;
}

bool LidGuard::isInstalled() const {
    return services_.fileExists(ruleFile);
}

bool LidGuard::isSleepDisabled() const {
    return services_.rootDomain.sleepDisabled();
}

bool LidGuard::isLidClosed() const {
    return services_.rootDomain.clamshellClosed();
}

bool LidGuard::setSleepDisabled(bool disabled) {
    if (!services_.fileExists(ruleFile)) {
        return false;
    }
    const auto result = services_.processes.run(
        privilegeTool, {"-n", powerTool, "-a", "disablesleep", disabled ? "1" : "0"});
    if (!result || result->exitStatus != 0) {
        return false;
    }
    return isSleepDisabled() == disabled;
}

std::optional<LidError> LidGuard::install() {
    if (!isSafeUserName(services_.loginName)) {
        return asLidError(InstallError{InstallError::Kind::UnsafeUserName, {}});
    }
    return asLidError(runAsAdmin(installCommandLine(ruleLine(services_.loginName)), installPrompt));
}

std::optional<LidError> LidGuard::uninstall() {
    if (isSleepDisabled()) {
        setSleepDisabled(false);
    }
    return asLidError(runAsAdmin(removeCommandLine(), removePrompt));
}

bool LidGuard::isSafeUserName(const std::string& name) {
    // In the rule's user column ALL means every user; a leading "-" makes no portable user name
    // and reads as an option to the tools that are given the name.
    if (name.empty() || name == "ALL" || name.starts_with('-')) {
        return false;
    }
    return std::ranges::all_of(name, [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
               c == '.' || c == '_' || c == '-';
    });
}

std::string LidGuard::ruleLine(const std::string& userName) {
    return userName + " ALL=(root) NOPASSWD: " + powerTool + " -a disablesleep 1, " + powerTool +
           " -a disablesleep 0";
}

std::string LidGuard::installCommandLine(const std::string& rule) {
    const auto commands = std::to_array<std::string>({
        "f=$(/usr/bin/mktemp)",
        "/usr/bin/printf '%s\\n' '" + rule + "' > \"$f\"",
        "/usr/sbin/visudo -cf \"$f\"",
        "/usr/sbin/chown root:wheel \"$f\"",
        "/bin/chmod 440 \"$f\"",
        std::string("/bin/mkdir -p ") + ruleDirectory,
        std::string("/bin/mv \"$f\" ") + ruleFile,
    });
    std::string line;
    for (const auto& command : commands) {
        line += line.empty() ? command : " && " + command;
    }
    return line;
}

std::string LidGuard::removeCommandLine() {
    return std::string("/bin/rm -f ") + ruleFile;
}

std::string LidGuard::escapedForScript(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        if (c == '\\') {
            escaped += "\\\\";
        } else if (c == '"') {
            escaped += "\\\"";
        } else {
            escaped += c;
        }
    }
    return escaped;
}

std::string LidGuard::adminScriptSource(const std::string& commandLine, const std::string& prompt) {
    return "do shell script \"" + escapedForScript(commandLine) + "\" with prompt \"" +
           escapedForScript(prompt) + "\" with administrator privileges";
}

std::optional<LidGuard::InstallError> LidGuard::runAsAdmin(const std::string& commandLine,
                                                           const std::string& prompt) {
    auto failure = services_.admin.run(adminScriptSource(commandLine, prompt));
    if (!failure) {
        return std::nullopt;
    }
    if (failure->empty()) {
        failure = "Не удалось получить права администратора.";
    }
    return InstallError{InstallError::Kind::Script, *failure};
}

std::optional<LidError> LidGuard::asLidError(const std::optional<InstallError>& error) {
    if (!error) {
        return std::nullopt;
    }
    return LidError{error->errorDescription()};
}

} // namespace vigilo
