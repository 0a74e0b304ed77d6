#pragma once

#include "platform/ports/Scheduler.h"

#include <algorithm>
#include <functional>
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

    [[nodiscard]] std::size_t postedCount() const { return posted_.size(); }
    /// Runs the work posted so far; work it posts waits for the next call.
    void runPosted() {
        auto turn = std::exchange(posted_, {});
        for (auto& work : turn) {
            work();
        }
    }
    /// Moves time on and runs the delayed work that falls due, in due order.
    void advance(double seconds) {
        elapsed_ += seconds;
        std::vector<Delayed> due;
        std::erase_if(delayed_, [&](Delayed& delayed) {
            if (delayed.dueAt > elapsed_) {
                return false;
            }
            due.push_back(std::move(delayed));
            return true;
        });
        std::ranges::stable_sort(due, {}, &Delayed::dueAt);
        for (auto& delayed : due) {
            delayed.work();
        }
    }

private:
    struct Delayed {
        double dueAt;
        std::function<void()> work;
    };
    std::vector<std::function<void()>> posted_;
    std::vector<Delayed> delayed_;
    double elapsed_ = 0;
};

} // namespace vigilo::fakes
