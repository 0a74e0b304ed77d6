#pragma once

#include "util/Signal.h"

#include <string>
#include <vector>

namespace vigilo {

/// Which of the watched applications run now, as the model needs to know it.
class WatchedApps {
public:
    virtual ~WatchedApps() = default;
    /// Names of the enabled watched applications that run now.
    [[nodiscard]] virtual std::vector<std::string> runningNames() const = 0;
    /// Told after every new look at which of them run, whether or not the names changed.
    [[nodiscard]] virtual const Signal<>& runningChecked() const = 0;
    /// False while what runs is not known yet, just after the start: `runningNames` is empty
    /// then for want of an answer, and a change follows the answer.
    [[nodiscard]] virtual bool knowsRunning() const { return true; }
};

/// Until applications are watched, none ever runs.
class NoWatchedApps final : public WatchedApps {
public:
    [[nodiscard]] std::vector<std::string> runningNames() const override { return {}; }
    [[nodiscard]] const Signal<>& runningChecked() const override { return runningChecked_; }

private:
    Signal<> runningChecked_;
};

} // namespace vigilo
