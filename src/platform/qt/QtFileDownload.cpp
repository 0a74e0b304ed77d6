#include "platform/qt/QtFileDownload.h"

#include <QNetworkRequest>

namespace vigilo {

namespace {

constexpr const char* tooLarge = "The update download is larger than any update";

std::string text(const QString& value) {
    return value.toStdString();
}

} // namespace

QtFileDownload::QtFileDownload(QNetworkAccessManager& network, const std::string& url,
                               const std::filesystem::path& file, std::uint64_t limit,
                               TransferDeadlines deadlines, Observer observer)
    : observer_(std::move(observer))
    , limit_(limit)
    , file_(QString::fromStdString(file.string())) {
    reply_ = startLimitedGet(network, url, deadlines);
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
    if (length.toULongLong() > limit_) {
        fail(tooLarge);
        return;
    }
    observer_.expectedLength(length.toULongLong());
}

void QtFileDownload::writeArrived() {
    const QByteArray data = reply_->readAll();
    const auto size = static_cast<std::uint64_t>(data.size());
    if (size == 0) {
        return;
    }
    if (written_ + size > limit_) {
        fail(tooLarge);
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
    if (reply_->error() == QNetworkReply::OperationCanceledError) {
        fail("The update download took too long");
    } else if (reply_->error() != QNetworkReply::NoError) {
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
