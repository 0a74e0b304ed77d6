#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vigilo {

/// What an assertion keeps awake.
enum class AssertionKind {
    /// The display stays on and the system stays awake ("PreventUserIdleDisplaySleep").
    DisplayKeptOn,
    /// The display may sleep; the system stays awake ("PreventUserIdleSystemSleep").
    DisplayMaySleep,
};

using AssertionId = std::uint32_t;

/// The operating system's power-management assertions.
class PowerAssertions {
public:
    virtual ~PowerAssertions() = default;
    /// Starts holding an assertion of `kind` under `name` (shown by the system's listings).
    /// Returns its identifier, or nothing when the system refused or cannot be reached.
    [[nodiscard]] virtual std::optional<AssertionId> create(AssertionKind kind,
                                                            const std::string& name) = 0;
    /// Stops holding the assertion `id`. Unknown identifiers are ignored.
    virtual void release(AssertionId id) = 0;
    /// `lost` is called on the main thread with an assertion the system dropped on its own and
    /// that could not be taken again (its services went away); that identifier is no longer
    /// held. An empty function stops the reports. Replaces the earlier handler.
    virtual void setOnLost(std::function<void(AssertionId)> lost) = 0;
};

} // namespace vigilo
