#pragma once

#include "ports/PowerAssertions.h"

#include <map>
#include <vector>

namespace vigilo::fakes {

/// Power assertions held in memory; creation can be made to fail, and a held one can be lost as
/// when the system drops it.
class FakePowerAssertions final : public PowerAssertions {
public:
    struct Held {
        AssertionKind kind;
        std::string name;
    };

    [[nodiscard]] std::optional<AssertionId> create(AssertionKind kind,
                                                    const std::string& name) override {
        ++createCalls;
        if (refuses) {
            return std::nullopt;
        }
        const AssertionId id = nextId++;
        held[id] = {kind, name};
        return id;
    }
    void release(AssertionId id) override {
        released.push_back(id);
        held.erase(id);
    }
    [[nodiscard]] const Signal<AssertionId>& lost() const override { return lost_; }

    /// The system dropped `id` and could not take it again.
    void lose(AssertionId id) {
        held.erase(id);
        lost_.notify(id);
    }

    bool refuses = false;
    int createCalls = 0;
    AssertionId nextId = 100;
    std::map<AssertionId, Held> held;
    std::vector<AssertionId> released;

private:
    Signal<AssertionId> lost_;
};

} // namespace vigilo::fakes
