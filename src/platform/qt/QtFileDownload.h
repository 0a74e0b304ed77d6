#pragma once

#include "platform/qt/LimitedGet.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace vigilo {

/// One HTTP(S) GET streamed into a file as it arrives, so that however large the response, it is
/// never held in memory. Main thread only; every call to the observer comes from the event loop.
/// May be destroyed at any time but from inside its observer's calls; a download still running
/// then is aborted and reports nothing more.
class QtFileDownload final {
public:
    struct Observer {
        /// The size the server announced, when it announced one.
        std::function<void(std::uint64_t bytes)> expectedLength;
        /// `bytes` more were written to the file.
        std::function<void(std::uint64_t bytes)> received;
        /// The download has ended: nothing when the file holds the whole response of a
        /// successful request, else why not. Called once.
        std::function<void(std::optional<std::string> failure)> finished;
    };

    /// Starts downloading `url` into `file` (created, or emptied if it exists). A response of
    /// more than `limit` bytes fails as soon as the server announces that size or the bytes
    /// pass it, and so does one that passes either of `deadlines`.
    QtFileDownload(QNetworkAccessManager& network, const std::string& url,
                   const std::filesystem::path& file, std::uint64_t limit,
                   TransferDeadlines deadlines, Observer observer);
    ~QtFileDownload();
    QtFileDownload(const QtFileDownload&) = delete;
    QtFileDownload& operator=(const QtFileDownload&) = delete;

private:
    void announceLength();
    void writeArrived();
    void finish();
    void fail(std::string failure);
    /// Stops listening to the reply and lets Qt delete it.
    void dropReply();

    Observer observer_;
    std::uint64_t limit_;
    QFile file_;
    QNetworkReply* reply_ = nullptr;
    std::uint64_t written_ = 0;
    bool lengthAnnounced_ = false;
};

} // namespace vigilo
