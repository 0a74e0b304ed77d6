#include "app/ControlProtocol.h"

#include <QList>
#include <array>
#include <utility>

namespace vigilo::ControlProtocol {

namespace {

constexpr std::array<std::pair<ControlVerb, const char*>, 5> verbNames{{
    {ControlVerb::On, "on"},
    {ControlVerb::Off, "off"},
    {ControlVerb::Toggle, "toggle"},
    {ControlVerb::Status, "status"},
    {ControlVerb::Show, "show"},
}};

// Titles never contain line breaks; this keeps a future one from shifting the reply's lines.
QByteArray oneLine(const QString& text) {
    QByteArray bytes = text.toUtf8();
    bytes.replace('\n', ' ');
    return bytes;
}

} // namespace

QByteArray verbName(ControlVerb verb) {
    for (const auto& [known, name] : verbNames) {
        if (known == verb) {
            return {name};
        }
    }
    Q_UNREACHABLE();
    return {};
}

std::optional<ControlVerb> verbFromName(QByteArrayView name) {
    for (const auto& [verb, known] : verbNames) {
        if (name == QByteArrayView(known)) {
            return verb;
        }
    }
    return std::nullopt;
}

QByteArray request(const ControlRequest& request) {
    QByteArray line = verbName(request.verb);
    switch (request.end) {
    case ControlRequest::End::None:
        break;
    case ControlRequest::End::At:
        line += " until " + QByteArray::number(request.endValue);
        break;
    case ControlRequest::End::WhilePid:
        line += " while " + QByteArray::number(request.endValue);
        break;
    }
    return line + '\n';
}

std::optional<ControlRequest> requestFromLine(QByteArrayView line) {
    const QList<QByteArray> words = line.toByteArray().split(' ');
    const auto verb = verbFromName(words.first());
    if (!verb || (words.size() != 1 && words.size() != 3)) {
        return std::nullopt;
    }
    if (words.size() == 1) {
        return ControlRequest(*verb);
    }
    bool isNumber = false;
    const qint64 value = words[2].toLongLong(&isNumber);
    if (*verb != ControlVerb::On || !isNumber || value <= 0) {
        return std::nullopt;
    }
    if (words[1] == "until") {
        return ControlRequest::onUntil(value);
    }
    if (words[1] == "while") {
        return ControlRequest::onWhile(value);
    }
    return std::nullopt;
}

QByteArray encodeReply(const ControlReply& reply) {
    return QByteArray(reply.awake ? "awake" : "asleep") + '\n' + oneLine(reply.title) + '\n' +
           oneLine(reply.subtitle) + '\n';
}

QByteArray errorReply() {
    return QByteArrayLiteral("error\n");
}

std::optional<ControlReply> decodeReply(const QByteArray& bytes) {
    if (!bytes.endsWith('\n')) {
        return std::nullopt;
    }
    const QList<QByteArray> lines = bytes.chopped(1).split('\n');
    if (lines.size() != 3 || (lines[0] != "awake" && lines[0] != "asleep")) {
        return std::nullopt;
    }
    return ControlReply{.awake = lines[0] == "awake",
                        .title = QString::fromUtf8(lines[1]),
                        .subtitle = QString::fromUtf8(lines[2])};
}

} // namespace vigilo::ControlProtocol
