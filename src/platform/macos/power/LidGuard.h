#pragma once

#include "ports/AdminScriptRunner.h"
#include "ports/LidControl.h"
#include "ports/ProcessRunner.h"
#include "ports/RootPowerDomain.h"

#include <functional>
#include <optional>
#include <string>

namespace vigilo {

/// The closed-lid permission on macOS: a sudoers rule that lets the current user run exactly
/// `pmset -a disablesleep 1` and `0` as root without a password, installed and removed through
/// the administrator prompt. Holds no state; everything lives in the system.
class LidGuard final : public LidControl {
public:
    static constexpr const char* ruleFile = "/etc/sudoers.d/vigilo";
    static constexpr const char* ruleDirectory = "/etc/sudoers.d";
    static constexpr const char* powerTool = "/usr/bin/pmset";
    static constexpr const char* privilegeTool = "/usr/bin/sudo";
    static constexpr const char* installPrompt =
        "Vigilo хочет разрешить себе не давать Mac засыпать при закрытой крышке.";
    static constexpr const char* removePrompt =
        "Vigilo удаляет своё разрешение для режима закрытой крышки.";

    /// Why `install` or `uninstall` failed.
    struct InstallError {
        enum class Kind { Script, UnsafeUserName };
        Kind kind;
        std::string message;
        [[nodiscard]] std::string errorDescription() const;
    };

    struct Services {
        ProcessRunner& processes;
        AdminScriptRunner& admin;
        const RootPowerDomain& rootDomain;
        std::function<bool(const std::string& path)> fileExists;
        std::string loginName;
    };

    explicit LidGuard(Services services)
        : services_(std::move(services)) {}

    /// Every Mac can: the power tool switches sleep off system-wide once the rule is in place.
    [[nodiscard]] bool canKeepAwakeWithLidClosed() const override { return true; }
    [[nodiscard]] bool isInstalled() const override;
    [[nodiscard]] bool isSleepDisabled() const override;
    [[nodiscard]] bool isLidClosed() const override;
    /// Waits for the power tool, so the answer is known when it returns.
    bool setSleepDisabled(bool disabled) override;
    /// Never told: every switch is answered by `setSleepDisabled` itself.
    [[nodiscard]] const Signal<>& sleepSwitchChanged() const override {
        return sleepSwitchChanged_;
    }
    [[nodiscard]] std::optional<LidError> install() override;
    [[nodiscard]] std::optional<LidError> uninstall() override;

    /// Only ASCII letters, digits, ".", "_" and "-", at least one; not "ALL" (every user, to
    /// sudoers) and not starting with "-".
    [[nodiscard]] static bool isSafeUserName(const std::string& name);
    /// "<user> ALL=(root) NOPASSWD: /usr/bin/pmset -a disablesleep 1, /usr/bin/pmset -a ...0".
    [[nodiscard]] static std::string ruleLine(const std::string& userName);
    /// The seven commands that write, check and move the rule into place, joined by " && ".
    [[nodiscard]] static std::string installCommandLine(const std::string& ruleLine);
    [[nodiscard]] static std::string removeCommandLine();
    /// Backslashes doubled first, then double quotes escaped: a double-quoted script string.
    [[nodiscard]] static std::string escapedForScript(const std::string& text);
    /// `do shell script "<command>" with prompt "<prompt>" with administrator privileges`.
    [[nodiscard]] static std::string adminScriptSource(const std::string& commandLine,
                                                       const std::string& prompt);

private:
    [[nodiscard]] std::optional<InstallError> runAsAdmin(const std::string& commandLine,
                                                         const std::string& prompt);
    [[nodiscard]] static std::optional<LidError>
    asLidError(const std::optional<InstallError>& error);

    Services services_;
    Signal<> sleepSwitchChanged_;
};

} // namespace vigilo
