#pragma once

#include "util/Signal.h"

#include <cstdint>
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
    /// Returns its identifier, or nothing when the system refused or cannot be reached. Answers
    /// without waiting for the system: where it grants assertions later, an identifier is
    /// returned at once and a refusal comes afterwards through `lost`, as a loss.
    [[nodiscard]] virtual std::optional<AssertionId> create(AssertionKind kind,
                                                            const std::string& name) = 0;
    /// Stops holding the assertion `id`, without waiting for the system. Unknown identifiers
    /// are ignored.
    virtual void release(AssertionId id) = 0;
    /// Told on the main thread, never from within `create` or `release`, of an assertion the
    /// system refused after `create` returned, or dropped on its own and could not take again
    /// (its services went away); that identifier is no longer held.
    [[nodiscard]] virtual const Signal<AssertionId>& lost() const = 0;
};

} // namespace vigilo
