#pragma once

namespace vigilo {

/// Two flags of the system's root power domain (macOS IORegistry "IOPMrootDomain").
/// Missing or non-boolean properties read as false.
class RootPowerDomain {
public:
    virtual ~RootPowerDomain() = default;
    /// "SleepDisabled": sleep is switched off system-wide.
    [[nodiscard]] virtual bool sleepDisabled() const = 0;
    /// "AppleClamshellState": the lid is closed.
    [[nodiscard]] virtual bool clamshellClosed() const = 0;
};

} // namespace vigilo
