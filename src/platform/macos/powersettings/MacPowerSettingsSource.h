#pragma once

#include "ports/PowerSettingsSource.h"
#include "ports/ProcessRunner.h"

#include <QObject>
#include <functional>
#include <thread>
#include <vector>

namespace vigilo {

/// The power settings as `pmset` reports them, read on a thread of this object's own so the
/// caller never waits for the tool. Reads asked for while one runs share its result.
class MacPowerSettingsSource final : public PowerSettingsSource {
public:
    /// `processes` runs `pmset` from this object's thread and must outlive this object.
    explicit MacPowerSettingsSource(ProcessRunner& processes);
    /// Waits for a read under way; its result is dropped.
    ~MacPowerSettingsSource() override = default;
    MacPowerSettingsSource(const MacPowerSettingsSource&) = delete;
    MacPowerSettingsSource& operator=(const MacPowerSettingsSource&) = delete;

    /// Call on the thread that runs this object's Qt event loop (the main thread); `done` runs
    /// there.
    void read(std::function<void(PowerValues)> done) override;

private:
    void deliver(const PowerValues& values);

    ProcessRunner& processes_;
    std::vector<std::function<void(PowerValues)>> waiting_;
    /// Receives the result on the main thread; what is posted to it dies with it.
    QObject receiver_;
    /// Declared last: joined before anything it uses goes away.
    std::jthread worker_;
};

} // namespace vigilo
