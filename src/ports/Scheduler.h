#pragma once

#include <functional>
#include <memory>

namespace vigilo {

/// Runs work later on the main thread's event loop. Work still pending when the scheduler is
/// destroyed never runs.
class Scheduler {
public:
    /// Keeps repeating work going; destroying it stops the work.
    class Repeating {
    public:
        virtual ~Repeating() = default;
    };

    /// The period of the heartbeat, in seconds.
    static constexpr double heartbeatSeconds = 2;

    virtual ~Scheduler() = default;
    /// Runs `work` on a later turn of the event loop, never before the caller has returned.
    virtual void post(std::function<void()> work) = 0;
    /// Runs `work` on the event loop once at least `seconds` have passed.
    virtual void after(double seconds, std::function<void()> work) = 0;
    /// Runs `work` on the event loop every `seconds` (give or take a little: the system may
    /// group wake-ups to save power) until the returned handle is destroyed.
    [[nodiscard]] virtual std::unique_ptr<Repeating> every(double seconds,
                                                           std::function<void()> work) = 0;
    /// Runs `work` on the program's heartbeat, every `heartbeatSeconds`, until the returned
    /// handle is destroyed. All the heartbeat's work runs in one wake-up, in the order it joined:
    /// periodic looks that need no exact time share it rather than wake the program each.
    [[nodiscard]] virtual std::unique_ptr<Repeating> onHeartbeat(std::function<void()> work) = 0;
};

} // namespace vigilo
