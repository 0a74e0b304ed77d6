#pragma once

#include "platform/qt/LimitedGet.h"
#include "ports/HttpGet.h"

#include <QNetworkAccessManager>
#include <chrono>
#include <cstddef>

namespace vigilo {

/// GET requests through Qt's network access manager. Must be created and used on the main
/// thread; completions come back there.
class QtHttpGet final : public HttpGet {
public:
    /// What a request may take before it counts as no response.
    struct Limits {
        /// The bodies this program reads (the update feed, an address) are a few kilobytes; a
        /// larger one is refused as it arrives, never read whole.
        std::size_t largestBody;
        TransferDeadlines deadlines;
    };
    static constexpr Limits defaultLimits{
        .largestBody = std::size_t{1} << 20U,
        .deadlines = {.idle = std::chrono::minutes(1), .total = std::chrono::minutes(2)},
    };

    explicit QtHttpGet(Limits limits = defaultLimits)
        : limits_(limits) {}

    void get(const std::string& url, Completion done) override;

private:
    QNetworkAccessManager manager_;
    Limits limits_;
};

} // namespace vigilo
