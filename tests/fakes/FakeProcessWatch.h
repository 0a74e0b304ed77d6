#pragma once

#include "ports/ProcessWatch.h"

#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace vigilo::fakes {

/// Processes the test starts and ends by hand; `end` reports to every live watch of it.
class FakeProcessWatch final : public ProcessWatch {
public:
    /// Makes `process` run under its PID, replacing any earlier one there.
    void start(const ProcessIdentity& process) { running[process.pid] = process; }
    /// Ends the process under `pid` and reports it to its watches.
    void end(std::int64_t pid) {
        running.erase(pid);
        auto watches = watches_;
        for (const auto& entry : watches) {
            if (entry->process.pid == pid && !entry->reported && entry->alive) {
                entry->reported = true;
                entry->ended();
            }
        }
    }
    [[nodiscard]] std::size_t liveWatches() const {
        std::size_t count = 0;
        for (const auto& entry : watches_) {
            count += entry->alive && !entry->reported ? 1 : 0;
        }
        return count;
    }

    [[nodiscard]] std::optional<ProcessIdentity> identify(std::int64_t pid) override {
        const auto found = running.find(pid);
        return found == running.end() ? std::nullopt : std::optional(found->second);
    }
    [[nodiscard]] std::unique_ptr<Watch> watch(const ProcessIdentity& process,
                                               std::function<void()> ended) override {
        auto entry = std::make_shared<Entry>(Entry{process, std::move(ended)});
        watches_.push_back(entry);
        // A process already gone (or replaced) is reported by the next `reportGone`, as the
        // real watch reports it on a later turn of the event loop.
        return std::make_unique<Handle>(entry);
    }
    /// Reports the watches whose process is no longer the one running under its PID.
    void reportGone() {
        auto watches = watches_;
        for (const auto& entry : watches) {
            const auto found = running.find(entry->process.pid);
            if (entry->alive && !entry->reported &&
                (found == running.end() || !(found->second == entry->process))) {
                entry->reported = true;
                entry->ended();
            }
        }
    }

    std::map<std::int64_t, ProcessIdentity> running;

private:
    struct Entry {
        ProcessIdentity process;
        std::function<void()> ended;
        bool reported = false;
        bool alive = true;
    };
    struct Handle final : Watch {
        explicit Handle(std::shared_ptr<Entry> watched)
            : entry(std::move(watched)) {}
        ~Handle() override { entry->alive = false; }
        std::shared_ptr<Entry> entry;
    };
    std::vector<std::shared_ptr<Entry>> watches_;
};

} // namespace vigilo::fakes
