#include "platform/qt/QtHttpGet.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <memory>

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
    QNetworkReply* reply = startLimitedGet(manager_, url, limits_.deadlines);
    auto body = std::make_shared<QByteArray>();
    const auto takeArrived = [reply, body, largest = limits_.largestBody] {
        *body += reply->readAll();
        return static_cast<std::size_t>(body->size()) <= largest;
    };
    // The manager is the context: destroying it drops the pending completions with it.
    QObject::connect(reply, &QNetworkReply::readyRead, &manager_, [reply, takeArrived] {
        if (!takeArrived()) {
            reply->abort();
        }
    });
    QObject::connect(
        reply, &QNetworkReply::finished, &manager_,
        [reply, body, takeArrived, done = std::move(done)] {
            reply->deleteLater();
            // Aborted (too large, too slow) or cut short: no response.
            if (!takeArrived() || !hasResponse(*reply)) {
                done(std::nullopt);
                return;
            }
            done(std::string(body->constData(), static_cast<std::size_t>(body->size())));
        });
}

} // namespace vigilo
