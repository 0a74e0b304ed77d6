#pragma once

#include "ports/PowerSettingsSource.h"
#include "ports/ProcessRunner.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Reading the power settings from the output of the system's power tool, `/usr/bin/pmset`.
namespace vigilo::PowerSettings {

inline constexpr const char* toolPath = "/usr/bin/pmset";

/// Section name ("AC Power", "Battery Power") → key → value.
using Sections = std::map<std::string, std::map<std::string, std::int64_t>>;

/// The section heading of a source: "AC Power" or "Battery Power".
[[nodiscard]] std::string rawValue(PowerValues::Source source);
/// The source whose heading is exactly `raw`.
[[nodiscard]] std::optional<PowerValues::Source> sourceFromRawValue(std::string_view raw);
/// `Battery` when the line mentions "Battery Power", else `Ac`.
[[nodiscard]] PowerValues::Source sourceFromBatteryLine(std::string_view line);

/// Reads the output of `pmset -g custom`. Malformed lines are skipped one by one.
[[nodiscard]] Sections parse(std::string_view text);
/// Reads the output of `pmset -g batt`: the first "Now drawing from" line decides.
[[nodiscard]] PowerValues::Source parseSource(std::string_view text);
/// Reads the output of `pmset -g`: the first "SleepDisabled" line, its last word equal to 1.
[[nodiscard]] bool parseSleepDisabled(std::string_view text);
/// Combines the three outputs into a snapshot.
[[nodiscard]] PowerValues valuesFrom(std::string_view customOutput, std::string_view batteryOutput,
                                     std::string_view generalOutput);

/// The standard output of `pmset` with `arguments`; empty when it cannot be started.
[[nodiscard]] std::string toolOutput(ProcessRunner& runner,
                                     const std::vector<std::string>& arguments);

} // namespace vigilo::PowerSettings

namespace vigilo {

/// The power settings as `pmset` reports them (macOS).
class PmsetPowerSettings final : public PowerSettingsSource {
public:
    explicit PmsetPowerSettings(ProcessRunner& runner)
        : runner_(runner) {}
    /// Runs `pmset -g custom`, `pmset -g batt` and `pmset -g`, in this order.
    [[nodiscard]] PowerValues current();
    /// Gives `done` the result of `current()` at once.
    void read(std::function<void(PowerValues)> done) override;
    /// Runs `pmset -g batt` once.
    [[nodiscard]] PowerValues::Source currentSource();

private:
    ProcessRunner& runner_;
};

} // namespace vigilo
