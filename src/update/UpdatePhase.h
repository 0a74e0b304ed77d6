#pragma once

#include <optional>
#include <string>
#include <variant>

/// The steps of an update as the panel shows them. Two phases are equal when they are the same
/// step with the same payload.
namespace vigilo::UpdatePhase {

/// Nothing to show: the start, and all the background work the user did not ask to watch.
struct Idle {
    bool operator==(const Idle&) const = default;
};
/// A check the user asked for is running.
struct Checking {
    bool operator==(const Checking&) const = default;
};
/// That check found nothing newer.
struct UpToDate {
    bool operator==(const UpToDate&) const = default;
};
struct Downloading {
    /// 0 to 1; nothing while the total size is unknown.
    std::optional<double> fraction;
    bool operator==(const Downloading&) const = default;
};
struct Extracting {
    /// 0 to 1.
    double fraction = 0;
    bool operator==(const Extracting&) const = default;
};
/// Downloaded and ready to install and relaunch.
struct Ready {
    bool operator==(const Ready&) const = default;
};
/// The check or download failed.
struct Failed {
    /// Shown to the user.
    std::string message;
    bool operator==(const Failed&) const = default;
};

} // namespace vigilo::UpdatePhase
