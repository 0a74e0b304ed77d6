#pragma once

#include "ports/Scheduler.h"

#include <QObject>
#include <memory>

namespace vigilo {

/// Runs work on the Qt event loop of the thread that made the scheduler (the main thread).
class QtScheduler final : public Scheduler {
public:
    void post(std::function<void()> work) override;
    void after(double seconds, std::function<void()> work) override;
    [[nodiscard]] std::unique_ptr<Repeating> every(double seconds,
                                                   std::function<void()> work) override;
    /// One coarse timer, running while any work is joined.
    [[nodiscard]] std::unique_ptr<Repeating> onHeartbeat(std::function<void()> work) override;

private:
    class Heartbeat;

    // Work is bound to this object, so destroying the scheduler cancels what is pending.
    QObject context_;
    std::shared_ptr<Heartbeat> heartbeat_;
};

} // namespace vigilo
