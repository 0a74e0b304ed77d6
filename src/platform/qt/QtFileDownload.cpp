#include "platform/qt/QtFileDownload.h"

#include <QNetworkRequest>
#include <chrono>

namespace vigilo {

namespace {

/// Qt applies no transfer timeout of its own; a minute without a byte counts as a failure.
constexpr std::chrono::milliseconds transferTimeout{60'000};

std::string text(const QString& value) {
    return value.toStdString();
}

} // namespace

QtFileDownload::QtFileDownload(QNetworkAccessManager& network, const std::string& url,
                               const std::filesystem::path& file, std::uint64_t limit,
                               Observer observer)
    : observer_(std::move(observer))
    , limit_(limit)
    , file_(QString::fromStdString(file.string())) {
    QNetworkRequest request(QUrl(QString::fromStdString(url)));
    request.setTransferTimeout(static_cast<int>(transferTimeout.count()));
    reply_ = network.get(request);
    QObject::connect(reply_, &QNetworkReply::metaDataChanged, reply_, [this] { announceLength(); });
    QObject::connect(reply_, &QNetworkReply::readyRead, reply_, [this] { writeArrived(); });
    QObject::connect(reply_, &QNetworkReply::finished, reply_, [this] { finish(); });
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        // Reported from the event loop, like every other outcome.
        QMetaObject::invokeMethod(
            reply_,
            [this] {
                // The reply may have ended first, failing to write.
                if (reply_ != nullptr) {
                    fail("The update download cannot be saved: " + text(file_.errorString()));
                }
            },
            Qt::QueuedConnection);
    }
}

QtFileDownload::~QtFileDownload() {
    if (reply_ != nullptr) {
        dropReply();
    }
}

void QtFileDownload::dropReply() {
    // Disconnected first: aborting emits `finished` at once.
    QObject::disconnect(reply_, nullptr, nullptr, nullptr);
    reply_->abort();
    reply_->deleteLater();
    reply_ = nullptr;
}

void QtFileDownload::announceLength() {
    const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
    if (lengthAnnounced_ || !length.isValid()) {
        return;
    }
    lengthAnnounced_ = true;
    observer_.expectedLength(length.toULongLong());
}

void QtFileDownload::writeArrived() {
    const QByteArray data = reply_->readAll();
    const auto size = static_cast<std::uint64_t>(data.size());
    if (size == 0) {
        return;
    }
    if (written_ + size > limit_) {
        fail("The update download is larger than any update");
        return;
    }
    if (file_.write(data) != data.size()) {
        fail("The update download cannot be saved: " + text(file_.errorString()));
        return;
    }
    written_ += size;
    observer_.received(size);
}

void QtFileDownload::finish() {
    writeArrived();
    if (reply_ == nullptr) {
        return;
    }
    const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // A response cut short of its announced length is one of Qt's errors.
    if (reply_->error() != QNetworkReply::NoError) {
        fail("The update download failed: " + text(reply_->errorString()));
    } else if (status != 200) {
        fail("The update download failed with HTTP status " + std::to_string(status));
    } else if (!file_.flush()) {
        fail("The update download cannot be saved: " + text(file_.errorString()));
    } else {
        file_.close();
        dropReply();
        observer_.finished(std::nullopt);
    }
}

void QtFileDownload::fail(std::string failure) {
    file_.close();
    dropReply();
    observer_.finished(std::move(failure));
}

} // namespace vigilo
