#pragma once

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <chrono>
#include <string>

namespace vigilo {

/// How long one transfer may take. Qt applies no deadline by itself: a server sending a byte now
/// and then would keep its client waiting forever.
struct TransferDeadlines {
    /// The longest time without receiving anything.
    std::chrono::milliseconds idle;
    /// The longest time for the whole transfer, however steadily it trickles.
    std::chrono::milliseconds total;
};

/// The most of a response body Qt holds before the caller reads it.
inline constexpr qint64 bufferedBodyBytes = qint64{256} << 10U;

/// Starts a GET of `url` that is aborted (finishing with an error) when it passes either
/// deadline, and that takes the body from the server only as fast as the caller reads it, so
/// that a caller refusing a large body as it arrives never holds much more than it has read. The
/// reply is the caller's, as from `QNetworkAccessManager::get`.
[[nodiscard]] QNetworkReply* startLimitedGet(QNetworkAccessManager& network, const std::string& url,
                                             TransferDeadlines deadlines);

} // namespace vigilo
