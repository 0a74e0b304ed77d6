#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

struct ca_context;

namespace vigilo {

/// One libcanberra context, used only from a thread of its own. Opening it connects to the sound
/// server and starting a sound waits for the server to accept the stream (a few milliseconds with
/// a local server, longer with a busy one), so no canberra call may run on the GUI thread.
/// Canberra also holds the context's lock for the whole of a play, which would stall a caller
/// that only wanted to cancel or ask. The thread starts with the first task; the context is made
/// on it and connects at its first sound. Destroying this object drops the tasks not yet run and
/// ends every sound still playing.
class CanberraContext final {
public:
    using Task = std::function<void(ca_context& context)>;

    CanberraContext() = default;
    ~CanberraContext() = default;
    CanberraContext(const CanberraContext&) = delete;
    CanberraContext& operator=(const CanberraContext&) = delete;

    /// Runs `task` on the context's thread after the tasks posted before it. Dropped when
    /// libcanberra cannot make a context.
    void post(Task task);
    /// A sound id that no earlier sound of this context had; never 0.
    [[nodiscard]] std::uint32_t newSoundId() { return ++lastSoundId_; }

private:
    void run(const std::stop_token& stop);

    std::atomic<std::uint32_t> lastSoundId_{0};
    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::deque<Task> tasks_;
    bool unavailable_ = false;
    // Last, so that it stops and joins before the queue it reads goes away.
    std::jthread thread_;
};

} // namespace vigilo
