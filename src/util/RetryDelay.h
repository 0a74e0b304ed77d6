#pragma once

#include <algorithm>

namespace vigilo {

/// How long to wait before asking again for something a service failed to give: the first wait
/// at first, doubling with each failure up to the longest, and the first again after a success.
class RetryDelay {
public:
    static constexpr int firstMs = 5000;
    static constexpr int longestMs = 5 * 60 * 1000;

    /// The wait before the next request; the one after it is longer.
    [[nodiscard]] int next() {
        const int delay = nextMs_;
        nextMs_ = std::min(2 * delay, longestMs);
        return delay;
    }
    void reset() { nextMs_ = firstMs; }

private:
    int nextMs_ = firstMs;
};

} // namespace vigilo
