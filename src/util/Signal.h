#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace vigilo {

namespace detail {

/// One handler's place in a signal, as its connection sees it.
struct SignalSlot {
    bool isConnected = true;
};

} // namespace detail

/// Keeps one handler connected to a signal until it is destroyed or `disconnect` is called. The
/// owner of a handler keeps its connection beside what the handler uses, so the handler is never
/// called once they are gone. Outliving the signal is harmless.
class [[nodiscard]] Connection {
public:
    Connection() = default;
    explicit Connection(std::weak_ptr<detail::SignalSlot> slot)
        : slot_(std::move(slot)) {}
    ~Connection() { disconnect(); }
    Connection(Connection&&) noexcept = default;
    Connection& operator=(Connection&& other) noexcept {
        if (this != &other) {
            disconnect();
            slot_ = std::move(other.slot_);
        }
        return *this;
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    /// The handler is not called again, not even later in a notice under way.
    void disconnect() {
        if (const auto slot = slot_.lock()) {
            slot->isConnected = false;
        }
        slot_.reset();
    }

private:
    std::weak_ptr<detail::SignalSlot> slot_;
};

/// Tells the handlers connected to it, in the order they were connected, each time its owner
/// calls `notify`. The owner hands out `const Signal&`: connecting works through it, notifying
/// does not. Handlers may connect and disconnect handlers, and destroy the signal, while it
/// notifies. Main thread only.
template <typename... Args> class Signal {
public:
    using Handler = std::function<void(Args...)>;

    Signal() = default;
    ~Signal() {
        // A notice under way calls no more handlers.
        for (const auto& slot : state_->slots) {
            slot->isConnected = false;
        }
    }
    Signal(const Signal&) = delete;
    Signal& operator=(const Signal&) = delete;
    Signal(Signal&&) = delete;
    Signal& operator=(Signal&&) = delete;

    /// Calls `handler` on every notice from now on, until the connection ends. A handler connected
    /// while the signal notifies is first called by the next notice.
    Connection connect(Handler handler) const {
        if (state_->notifying == 0) {
            prune(*state_);
        }
        auto slot = std::make_shared<Slot>(std::move(handler));
        state_->slots.push_back(slot);
        return Connection(slot);
    }

    void notify(const Args&... args) {
        // The state outlives a handler that destroys the signal, and keeps its slots, even those
        // disconnected, until no notice is under way.
        const auto state = state_;
        ++state->notifying;
        const std::size_t count = state->slots.size();
        for (std::size_t i = 0; i < count; ++i) {
            Slot& slot = *state->slots[i];
            if (slot.isConnected) {
                slot.handler(args...);
            }
        }
        if (--state->notifying == 0) {
            prune(*state);
        }
    }

private:
    struct Slot : detail::SignalSlot {
        explicit Slot(Handler call)
            : handler(std::move(call)) {}
        Handler handler;
    };
    struct State {
        std::vector<std::shared_ptr<Slot>> slots;
        int notifying = 0;
    };

    static void prune(State& state) {
        std::erase_if(state.slots, [](const auto& slot) { return !slot->isConnected; });
    }

    std::shared_ptr<State> state_ = std::make_shared<State>();
};

} // namespace vigilo
