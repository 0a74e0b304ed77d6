#include "platform/qt/LimitedGet.h"

#include <QNetworkRequest>
#include <QTimer>

namespace vigilo {

QNetworkReply* startLimitedGet(QNetworkAccessManager& network, const std::string& url,
                               TransferDeadlines deadlines) {
    QNetworkRequest request(QUrl(QString::fromStdString(url)));
    request.setTransferTimeout(static_cast<int>(deadlines.idle.count()));
    QNetworkReply* reply = network.get(request);
    reply->setReadBufferSize(bufferedBodyBytes);
    // Bound to the reply: gone with it.
    QTimer::singleShot(deadlines.total, reply, [reply] { reply->abort(); });
    return reply;
}

} // namespace vigilo
