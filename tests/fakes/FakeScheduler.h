#pragma once

#include "ports/Scheduler.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace vigilo::fakes {

/// Holds scheduled work until the test runs it.
class FakeScheduler final : public Scheduler {
public:
    void post(std::function<void()> work) override { posted_.push_back(std::move(work)); }
    void after(double seconds, std::function<void()> work) override {
        delayed_.push_back({elapsed_ + seconds, std::move(work)});
    }

    [[nodiscard]] std::unique_ptr<Repeating> every(double seconds,
                                                   std::function<void()> work) override {
        auto handle = std::make_unique<RepeatingHandle>();
        schedule(seconds, std::move(work), handle->alive);
        return handle;
    }

    /// Beats every `heartbeatSeconds` from the time the work joined.
    [[nodiscard]] std::unique_ptr<Repeating> onHeartbeat(std::function<void()> work) override {
        return every(heartbeatSeconds, std::move(work));
    }

    [[nodiscard]] std::size_t postedCount() const { return posted_.size(); }
    /// Runs the work posted so far; work it posts waits for the next call.
    void runPosted() {
        auto turn = std::exchange(posted_, {});
        for (auto& work : turn) {
            work();
        }
    }
    /// Moves time on and runs the delayed work that falls due, in due order, each at its own
    /// time (so repeating work runs once per period).
    void advance(double seconds) {
        const double target = elapsed_ + seconds;
        for (;;) {
            const auto next = std::ranges::min_element(delayed_, {}, &Delayed::dueAt);
            if (next == delayed_.end() || next->dueAt > target) {
                break;
            }
            elapsed_ = std::max(elapsed_, next->dueAt);
            auto work = std::move(next->work);
            delayed_.erase(next);
            work();
        }
        elapsed_ = target;
    }

private:
    struct RepeatingHandle final : Repeating {
        std::shared_ptr<int> alive = std::make_shared<int>();
    };

    /// Runs `work` once `seconds` from now and again every `seconds` while the handle lives.
    void schedule(double seconds, std::function<void()> work, std::weak_ptr<int> alive) {
        after(seconds, [this, seconds, work = std::move(work), alive]() mutable {
            if (alive.expired()) {
                return;
            }
            work();
            schedule(seconds, std::move(work), alive);
        });
    }

    struct Delayed {
        double dueAt;
        std::function<void()> work;
    };
    std::vector<std::function<void()>> posted_;
    std::vector<Delayed> delayed_;
    double elapsed_ = 0;
};

} // namespace vigilo::fakes
