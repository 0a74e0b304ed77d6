#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vigilo {

/// The folders a command-line program is found in, most important first: those of $PATH, then
/// the per-user places that installers use but that a session started from the desktop often
/// leaves off $PATH: ~/.local/bin, npm's global prefix ($NPM_CONFIG_PREFIX/bin, else
/// ~/.npm-global/bin) and /usr/local/bin. Relative entries are left out; none appears twice.
[[nodiscard]] std::vector<std::filesystem::path> commandFolders();

/// The executable file called `program` in the first of `folders` that holds one; nothing when
/// none does. A name with a folder in it is never looked up.
[[nodiscard]] std::optional<std::filesystem::path>
findCommand(const std::string& program, const std::vector<std::filesystem::path>& folders);

} // namespace vigilo
