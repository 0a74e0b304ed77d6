#pragma once

#include "platform/ports/HttpGet.h"

#include <QNetworkAccessManager>
#include <chrono>

namespace vigilo {

/// GET requests through Qt's network access manager. Must be created and used on the main
/// thread; completions come back there.
class QtHttpGet final : public HttpGet {
public:
    /// Qt applies no transfer timeout of its own, and a request that never ends would leave
    /// its caller waiting forever: one minute without progress counts as a failure.
    static constexpr std::chrono::milliseconds defaultTransferTimeout{60'000};

    /// `transferTimeout`: how long a request may go without receiving anything.
    explicit QtHttpGet(std::chrono::milliseconds transferTimeout = defaultTransferTimeout)
        : transferTimeout_(transferTimeout) {}

    void get(const std::string& url, Completion done) override;

private:
    QNetworkAccessManager manager_;
    std::chrono::milliseconds transferTimeout_;
};

} // namespace vigilo
