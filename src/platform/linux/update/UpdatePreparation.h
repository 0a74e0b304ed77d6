#pragma once

#include "platform/linux/update/InstalledVersions.h"
#include "ports/ProcessRunner.h"
#include "ports/UpdateFramework.h"

#include <chrono>
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

/// What a downloaded update is checked against.
struct UpdateChecks {
    /// The Base64 Ed25519 public key the archive must be signed with.
    std::string publicKey;
    /// The running program's release number: the new program must report a newer one.
    std::string runningVersion;
    /// How long the new program may take to answer `--version`.
    std::chrono::milliseconds answerTimeout;
};

/// Turns a downloaded archive into a version folder ready to be switched to: checks the
/// signature, checks that every entry stays inside the folder, unpacks it beside the other
/// versions (reporting 0 to 1 to `progress`) and checks every file against the archive, makes
/// sure the new program starts and is the release the feed offers, newer than the running one
/// (`bin/vigilo --version` through `processes`, killed when it does not answer in time), and
/// only then moves it to its version's folder, with everything on the disk. Nothing else in
/// the versions folder is touched, whatever fails. Returns why it failed; nothing when the
/// folder is in place. Takes as long as the archive is large, and up to the answer timeout: not
/// on the main thread. A requested `stop` ends it soon, failed.
[[nodiscard]] std::optional<UpdateError>
prepareVersion(const InstalledVersions& versions, const DownloadedUpdate& update,
               const UpdateChecks& checks, ProcessRunner& processes,
               const std::function<void(double)>& progress, const std::stop_token& stop);

} // namespace vigilo
