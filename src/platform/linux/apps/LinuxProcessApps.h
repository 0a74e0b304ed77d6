#pragma once

#include "platform/linux/apps/LinuxApplicationIndex.h"

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <sys/types.h>
#include <vector>

namespace vigilo {

/// Finds which applications a user's processes belong to, from a /proc tree.
class LinuxProcessApps {
public:
    /// Reads the processes below `procRoot` ("/proc") that belong to the user `user`, and looks
    /// for the command-line programs named `programNames` among them.
    LinuxProcessApps(std::filesystem::path procRoot, uid_t user,
                     std::set<std::string> programNames = {});

    /// The desktop-file ids of the applications the user's processes belong to. A process counts
    /// by the first of: its systemd application unit, its Flatpak sandbox, its Snap unit, its
    /// executable matched against the installed entries. Besides, a process that runs one of
    /// the program names counts as "process:<name>" (see `runsAs`), wherever it was started.
    /// A process seen by an earlier call with the same executable is not read again, so a poll
    /// costs two system calls for each process that was already there.
    [[nodiscard]] std::set<std::string>
    runningApplicationIDs(const LinuxApplicationIndex& installed) const;

    /// Forgets what earlier calls learnt; needed when the installed applications changed.
    void forgetProcesses() const { seen_.clear(); }

private:
    struct Seen {
        /// What /proc/PID/exe pointed to: a process that exec()s another program is read again.
        std::string executable;
        std::vector<std::string> ids;
    };

    [[nodiscard]] std::vector<std::string>
    applicationIDs(const std::filesystem::path& process, const std::string& executable,
                   const LinuxApplicationIndex& installed) const;
    /// The program names the process runs as: its executable's file name or its command name
    /// (comm: a native program, or a script started directly or that set its title); for an
    /// interpreter (node, bun, deno, python), the file names of its argv[0] and of the script it
    /// runs. Only an interpreter's command line is read.
    [[nodiscard]] std::set<std::string> runsAs(const std::filesystem::path& process,
                                               const std::string& executableName,
                                               const std::string& commandName) const;

    std::filesystem::path procRoot_;
    uid_t user_;
    std::set<std::string> programNames_;
    /// By process folder name. A process id reused within one poll interval would inherit the
    /// old answer; with Linux's large id space that needs millions of processes in seconds.
    mutable std::map<std::string, Seen> seen_;
};

} // namespace vigilo
