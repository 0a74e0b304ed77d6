#pragma once

#include "model/WatchedApps.h"

namespace vigilo::fakes {

/// A watcher whose running list the test sets; `change` tells its observers.
class FakeWatchedApps final : public WatchedApps {
public:
    [[nodiscard]] std::vector<std::string> runningNames() const override { return running; }
    [[nodiscard]] const Signal<>& runningChecked() const override { return runningChecked_; }
    [[nodiscard]] bool knowsRunning() const override { return knows; }
    /// Also makes what runs known.
    void change(std::vector<std::string> names) {
        knows = true;
        running = std::move(names);
        runningChecked_.notify();
    }

    std::vector<std::string> running;
    bool knows = true;

private:
    Signal<> runningChecked_;
};

} // namespace vigilo::fakes
