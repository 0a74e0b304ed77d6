#include "platform/qt/QtHttpGet.h"

#include <QNetworkReply>
#include <QNetworkRequest>

namespace vigilo {

namespace {

/// The server sent a response, possibly with an error status; the caller judges the body.
bool hasResponse(const QNetworkReply& reply) {
    const auto error = reply.error();
    const bool errorStatus =
        (error >= QNetworkReply::ContentAccessDenied &&
         error <= QNetworkReply::UnknownContentError) ||
        (error >= QNetworkReply::InternalServerError && error <= QNetworkReply::UnknownServerError);
    return error == QNetworkReply::NoError || errorStatus;
}

} // namespace

void QtHttpGet::get(const std::string& url, Completion done) {
    QNetworkRequest request(QUrl(QString::fromStdString(url)));
    request.setTransferTimeout(static_cast<int>(transferTimeout_.count()));
    QNetworkReply* reply = manager_.get(request);
    // The manager is the context: destroying it drops the pending completions with it.
    QObject::connect(reply, &QNetworkReply::finished, &manager_, [reply, done = std::move(done)] {
        reply->deleteLater();
        if (!hasResponse(*reply)) {
            done(std::nullopt);
            return;
        }
        const QByteArray body = reply->readAll();
        done(std::string(body.constData(), static_cast<std::size_t>(body.size())));
    });
}

} // namespace vigilo
