#pragma once

#include "platform/linux/update/InstalledVersions.h"

#include <optional>
#include <string>

// Going back to the previous version when an installed update does not run. Switching
// `current` leaves a record in the versions folder; the new version marks it first thing at its
// first start and removes it once it has run for a while or quits cleanly. A start that finds
// the mark of an earlier start knows that start crashed (or was killed) before it could confirm,
// and switches `current` back.
namespace vigilo::UpdateRollback {

/// What a start of the program learnt from the record.
enum class Start {
    /// Nothing waits for confirmation, or it is another version that does.
    ordinary,
    /// The first start of a freshly installed version: it confirms itself once it has run a while.
    firstAfterUpdate,
    /// This version started before and never confirmed: `current` now points back at the
    /// previous version, which must be started instead of this one.
    rolledBack,
};

/// Written just before `current` is switched from `previous` to `installed`. False when it could
/// not be written: then the switch must not happen, as it could not be undone.
[[nodiscard]] bool recordSwitch(const InstalledVersions& versions, const std::string& installed,
                                const std::string& previous);
/// Drops the record of a switch that did not happen after all.
void forgetSwitch(const InstalledVersions& versions);
/// Called once by every start of the program that may update itself, before anything else that
/// could fail. Reads and writes a file of a few bytes.
[[nodiscard]] Start atStart(const InstalledVersions& versions, const std::string& runningVersion);
/// The running version has run long enough, or quits cleanly: if it is a freshly installed
/// version waiting for confirmation, it stays, and the answer is true. A record of another
/// version is left alone.
bool confirm(const InstalledVersions& versions, const std::string& runningVersion);
/// The version last rolled back, which is never installed again.
[[nodiscard]] std::optional<std::string> rejectedVersion(const InstalledVersions& versions);

} // namespace vigilo::UpdateRollback
