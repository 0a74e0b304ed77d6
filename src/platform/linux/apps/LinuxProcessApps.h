#pragma once

#include "platform/linux/apps/LinuxApplicationIndex.h"

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace vigilo {

/// Finds which applications a user's processes belong to, from a /proc tree. Remembers what it
/// read, so that a look reads only the processes it has not seen; one thread at a time.
class LinuxProcessApps {
public:
    /// A process folder as the listing of /proc gives it. The kernel makes a new folder, with a
    /// new inode number, for each process, so a process id taken over by a new process lists
    /// differently although its name is the same.
    struct Listed {
        std::string name;
        ino_t inode = 0;
        bool operator==(const Listed&) const = default;
    };
    /// By name.
    using Listing = std::vector<Listed>;

    /// The process folders below `procRoot`: the only look at /proc that every poll takes, one
    /// listing of one folder. Empty when it cannot be read.
    [[nodiscard]] static Listing listProcesses(const std::filesystem::path& procRoot);

    /// The id the kernel gave the latest process or thread it made, from the text of
    /// /proc/loadavg (its last field): while it stays the same, no process has started. Nothing
    /// when the text holds none.
    [[nodiscard]] static std::optional<long> lastProcessId(std::string_view loadavg);

    /// Reads the processes below `procRoot` ("/proc") that belong to the user `user`, and looks
    /// for the command-line programs named `programNames` among them.
    LinuxProcessApps(std::filesystem::path procRoot, uid_t user,
                     std::set<std::string> programNames = {});

    /// The desktop-file ids of the applications the user's processes belong to. A process counts
    /// by the first of: its systemd application unit, its Flatpak sandbox, its Snap unit, its
    /// executable matched against the installed entries. Besides, a process that runs one of
    /// the program names counts as "process:<name>" (see `runsAs`), wherever it was started.
    [[nodiscard]] std::set<std::string>
    runningApplicationIDs(const LinuxApplicationIndex& installed) const {
        return look(listProcesses(procRoot_), installed);
    }

    /// `runningApplicationIDs` from a listing just taken. Only the processes not seen before are
    /// read: a process is known by its folder, and by its start time when its folder is new, so a
    /// reused process id is read again. Besides, a process's executable is checked once more at
    /// the look after the one that read it, since a new process usually exec()s its program a
    /// moment after it started. A listing the same as the previous one, with no such check
    /// left, reads nothing at all.
    [[nodiscard]] std::set<std::string> look(const Listing& listing,
                                             const LinuxApplicationIndex& installed) const;

    /// True when a look at the same listing as the previous one would read nothing.
    [[nodiscard]] bool isSettled() const { return settled_; }
    /// The folder names of the processes that gave an application id at the latest look.
    [[nodiscard]] std::vector<std::string> applicationProcesses() const;
    /// How many processes a look at `listing` would read (or check the executable of).
    [[nodiscard]] std::size_t unseenIn(const Listing& listing) const;

    /// Forgets what earlier calls learnt; needed when the installed applications changed.
    void forgetProcesses() const;

private:
    struct Seen {
        ino_t inode = 0;
        /// Field 22 of /proc/PID/stat; nothing when it could not be read.
        std::optional<unsigned long long> startTime;
        /// False for another user's process, which is not read.
        bool isUsers = false;
        /// What /proc/PID/exe pointed to when the process was read.
        std::string executable;
        std::vector<std::string> ids;
        /// False until the executable has been found unchanged at a later look.
        bool settled = false;
    };

    /// A process not seen under this folder before; nothing when it has ended.
    [[nodiscard]] std::optional<Seen> readNew(int procFd, const Listed& process, const Seen* before,
                                              const LinuxApplicationIndex& installed) const;
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
    /// What the previous look found: by process folder name.
    mutable std::map<std::string, Seen> seen_;
    mutable Listing listing_;
    mutable std::set<std::string> ids_;
    mutable bool settled_ = false;
};

} // namespace vigilo
