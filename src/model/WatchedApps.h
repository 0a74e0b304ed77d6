#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vigilo {

/// Which of the watched applications run now, as the model needs to know it.
class WatchedApps {
public:
    virtual ~WatchedApps() = default;
    /// Names of the enabled watched applications that run now.
    [[nodiscard]] virtual std::vector<std::string> runningNames() const = 0;
    /// False while what runs is not known yet, just after the start: `runningNames` is empty
    /// then for want of an answer, and a change follows the answer.
    [[nodiscard]] virtual bool knowsRunning() const { return true; }
    /// Called whenever the running list may have changed.
    virtual void setOnChange(std::function<void()> onChange) = 0;
};

/// Until applications are watched, none ever runs.
class NoWatchedApps final : public WatchedApps {
public:
    [[nodiscard]] std::vector<std::string> runningNames() const override { return {}; }
    void setOnChange(std::function<void()>) override {}
};

} // namespace vigilo
