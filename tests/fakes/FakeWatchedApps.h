#pragma once

#include "model/WatchedApps.h"

namespace vigilo::fakes {

/// A watcher whose running list the test sets; `change` fires the callback.
class FakeWatchedApps final : public WatchedApps {
public:
    [[nodiscard]] std::vector<std::string> runningNames() const override { return running; }
    void setOnChange(std::function<void()> onChange) override { onChange_ = std::move(onChange); }
    void change(std::vector<std::string> names) {
        running = std::move(names);
        if (onChange_) {
            onChange_();
        }
    }

    std::vector<std::string> running;

private:
    std::function<void()> onChange_;
};

} // namespace vigilo::fakes
