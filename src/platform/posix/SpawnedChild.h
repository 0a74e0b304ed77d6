#pragma once

#include "platform/posix/UniqueFd.h"
#include "ports/ProcessRunner.h"

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// What the process runners of every system share: starting a program with `posix_spawn` and
// reading its output. The runners differ only in how they wait for a run with a limit.
namespace vigilo::SpawnedChild {

/// A started program and the read end of its standard output.
struct Child {
    pid_t pid = 0;
    UniqueFd output;
};

/// Starts the program with no shell, standard input and standard error on the null device, a
/// clean signal state, and no descriptor of ours but the output pipe; with `ownGroup`, as the
/// leader of a new process group. Nothing when it cannot start.
[[nodiscard]] std::optional<Child> start(const std::string& path,
                                         const std::vector<std::string>& arguments, bool ownGroup);

/// Reads once from `fd` onto the end of `output`; false at the end of the output (or an error).
bool readSome(int fd, std::string& output);

/// The exit status in a status from waitpid(2); nothing when the child was killed.
[[nodiscard]] std::optional<int> exitStatusOf(int status);

/// Waits for the child's end and reaps it.
[[nodiscard]] std::optional<int> waitForExit(pid_t pid);

/// Milliseconds left until `deadline`, as poll(2) takes them: never negative.
[[nodiscard]] int millisecondsUntil(std::chrono::steady_clock::time_point deadline);

/// Runs the program to its end, collecting its output (`ProcessRunner::run`).
[[nodiscard]] std::optional<ProcessResult> runToEnd(const std::string& path,
                                                    const std::vector<std::string>& arguments);

} // namespace vigilo::SpawnedChild
