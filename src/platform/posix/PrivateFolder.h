#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>

namespace vigilo {

/// The environment variables that say where a user's folders are.
struct FolderEnvironment {
    std::string xdgRuntimeDir;
    std::string xdgStateHome;
    /// $HOME, or the account's home folder when $HOME is not an absolute path.
    std::string home;

    [[nodiscard]] static FolderEnvironment ofThisProcess();
};

/// The program's own folder that outlives the login session and does not depend on it:
/// "<xdgStateHome>/vigilo", or "<home>/.local/state/vigilo" when $XDG_STATE_HOME is not an
/// absolute path (relative ones are ignored, as the XDG rules say). Empty when neither is
/// absolute.
[[nodiscard]] std::filesystem::path stateFolder(const FolderEnvironment& environment);

/// The folder of the instance lock, the same for every start of user `uid` whatever the session's
/// variables say: "<runtimeRoot>/<uid>/vigilo" where the system made the user's runtime folder
/// (a folder, not a link, that the user owns), else "<tempRoot>/vigilo-<uid>", which
/// `privateFolderRefusal` refuses when another user made it first.
[[nodiscard]] std::filesystem::path instanceLockFolder(uid_t uid,
                                                       const std::filesystem::path& runtimeRoot,
                                                       const std::filesystem::path& tempRoot);

/// The folder for the program's files that last as long as the login session:
/// "<xdgRuntimeDir>/vigilo" when $XDG_RUNTIME_DIR names an existing folder, else the state
/// folder. The command-line control keeps its socket there, and the sound player its copies.
[[nodiscard]] std::filesystem::path sessionFolder(const FolderEnvironment& environment);

/// Creates `folder` (and any missing folder above it) open to its owner only, so that no other
/// user can replace the files put there. Returns why it cannot serve, in a sentence — not an
/// absolute path, cannot be created, not a folder (a link counts as not a folder), owned by
/// another user, open to others — or nothing when it is the user's own private folder. An
/// existing folder is never changed: a wrong one is for its owner to mend.
[[nodiscard]] std::optional<std::string> privateFolderRefusal(const std::filesystem::path& folder);

} // namespace vigilo
