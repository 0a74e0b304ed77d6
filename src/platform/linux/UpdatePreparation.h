#pragma once

#include "platform/linux/InstalledVersions.h"
#include "platform/ports/ProcessRunner.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>

namespace vigilo {

/// A downloaded update archive, and what the feed says about it.
struct DownloadedUpdate {
    std::filesystem::path archive;
    /// The Base64 Ed25519 signature the feed gives for the archive.
    std::string signature;
    /// The release number, which names the version's folder. A release number as
    /// `VersionNumber` reads it: digits and single dots, so never a path of its own.
    std::string version;
};

/// Turns a downloaded archive into a version folder ready to be switched to: checks the
/// signature against `publicKey`, checks that every entry stays inside the folder, unpacks it
/// beside the other versions (reporting 0 to 1 to `progress`), makes sure the new program starts
/// (`bin/vigilo --version` through `processes`), and only then moves it to its version's folder.
/// Nothing else in the versions folder is touched, whatever fails. Returns why it failed, in
/// the words of the framework; nothing when the folder is in place. Takes as long as the archive
/// is large: not on the main thread.
[[nodiscard]] std::optional<std::string>
prepareVersion(const InstalledVersions& versions, const DownloadedUpdate& update,
               const std::string& publicKey, ProcessRunner& processes,
               const std::function<void(double)>& progress, const std::stop_token& stop);

} // namespace vigilo
