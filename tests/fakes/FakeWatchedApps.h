#pragma once

#include "model/WatchedApps.h"

namespace vigilo::fakes {

/// A watcher whose running list the test sets; `change` fires the callback.
class FakeWatchedApps final : public WatchedApps {
public:
    [[nodiscard]] std::vector<std::string> runningNames() const override { return running; }
    [[nodiscard]] bool knowsRunning() const override { return knows; }
    void setOnChange(std::function<void()> onChange) override { onChange_ = std::move(onChange); }
    /// Also makes what runs known.
    void change(std::vector<std::string> names) {
        knows = true;
        running = std::move(names);
        if (onChange_) {
            onChange_();
        }
    }

    std::vector<std::string> running;
    bool knows = true;

private:
    std::function<void()> onChange_;
};

} // namespace vigilo::fakes
