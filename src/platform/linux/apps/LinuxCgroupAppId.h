#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vigilo {

// Desktops start each application in its own systemd unit, so a process's control group names
// the application it belongs to. These read the text of /proc/PID/cgroup (its unified "0::"
// line, else the "name=systemd" one).

/// The application id of a systemd application unit in the process's control group path:
/// `app[-<launcher>]-<id>-<random>.scope`, `app[-<launcher>]-<id>[@<random>].service`, with the
/// unit-name escapes (`\x2d` for a `-` inside the id) resolved. Flatpak's units are of this form
/// too (launcher "flatpak").
[[nodiscard]] std::optional<std::string> systemdApplicationId(std::string_view cgroupText);

/// The desktop-file id of a Snap application from its `snap.<name>.<app>…` unit: `<name>_<app>`.
[[nodiscard]] std::optional<std::string> snapApplicationId(std::string_view cgroupText);

/// The application name in a Flatpak sandbox's `.flatpak-info` text (`[Application] name=`).
[[nodiscard]] std::optional<std::string> flatpakApplicationId(std::string_view flatpakInfoText);

} // namespace vigilo
