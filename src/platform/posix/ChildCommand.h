#pragma once

#include <string>
#include <sys/types.h>
#include <variant>
#include <vector>

namespace vigilo {

/// A command started in the foreground of the terminal, as a shell starts one: it shares this
/// process's group, so the terminal's Ctrl+C, Ctrl+\ and Ctrl+Z reach it directly, and while
/// it runs this process ignores the first two and passes on a SIGTERM or SIGHUP it gets. One per
/// process.
class ChildCommand {
public:
    /// How the command ended.
    struct Ended {
        bool exited = true;
        /// The exit status, or the signal that ended it.
        int statusOrSignal = 0;
    };

    /// Starts `command` (its first word searched along PATH), or says why it cannot.
    [[nodiscard]] static std::variant<ChildCommand, std::string>
    start(const std::vector<std::string>& command);

    [[nodiscard]] pid_t pid() const { return pid_; }
    /// Blocks until the command ends. Call once.
    [[nodiscard]] Ended wait();

private:
    explicit ChildCommand(pid_t pid)
        : pid_(pid) {}
    static void passSignalsTo(pid_t pid);
    pid_t pid_;
};

} // namespace vigilo
