#pragma once

#include "ports/Displays.h"
#include "ports/ProcessRunner.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace vigilo {

/// The displays of a Mac: CoreGraphics' active display list, and `pmset displaysleepnow`.
class MacDisplays final : public Displays {
public:
    static constexpr const char* powerTool = "/usr/bin/pmset";
    /// How long the power tool may take before it is killed.
    static constexpr std::chrono::seconds toolTimeout{5};

    /// `processes` runs the power tool, from a thread of this object's own, and must outlive
    /// this object.
    explicit MacDisplays(ProcessRunner& processes);
    /// Kills the tool if it still runs and waits for its end.
    ~MacDisplays() override = default;
    MacDisplays(const MacDisplays&) = delete;
    MacDisplays& operator=(const MacDisplays&) = delete;

    /// Some active display is not built in; false when the list cannot be read.
    [[nodiscard]] bool hasExternalDisplay() const override;
    /// Runs `pmset displaysleepnow` without waiting for it.
    void turnScreenOff() override;

private:
    ProcessRunner& processes_;
    /// The tool runs on `worker_` and has not ended yet.
    std::atomic<bool> running_{false};
    /// Declared last: stopped and joined before anything it uses goes away.
    std::jthread worker_;
};

} // namespace vigilo
