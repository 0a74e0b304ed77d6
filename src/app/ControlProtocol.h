#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <chrono>
#include <optional>

// The control socket lets `vigilo on|off|toggle|status` drive the running instance.
//
// One request per connection, UTF-8 lines ending in "\n":
//   client → server   one verb line: "on", "off", "toggle", "status" or "show" (open the panel);
//                     "on until <Unix time in seconds>" and "on while <PID>" switch on until
//                     that time or while that process runs (an older instance answers them
//                     with "error", and a plain "on" means what it always meant)
//   server → client   "awake" or "asleep" (the state after the verb), the hero title, the
//                     subtitle; then the server closes the connection.
// A request the server does not understand gets the single line "error". Requests longer than
// `maxRequestBytes`, or not carried out within `serverDeadline`, are dropped without a reply.
namespace vigilo {

enum class ControlVerb { On, Off, Toggle, Status, Show };

/// A verb, and for `On` the end of the session it starts. Made from a bare verb implicitly.
struct ControlRequest {
    enum class End { None, At, WhilePid };

    ControlRequest(
        ControlVerb requested = ControlVerb::Status) // NOLINT(google-explicit-constructor)
        : verb(requested) {}
    [[nodiscard]] static ControlRequest onUntil(qint64 unixSeconds) {
        ControlRequest request(ControlVerb::On);
        request.end = End::At;
        request.endValue = unixSeconds;
        return request;
    }
    [[nodiscard]] static ControlRequest onWhile(qint64 pid) {
        ControlRequest request(ControlVerb::On);
        request.end = End::WhilePid;
        request.endValue = pid;
        return request;
    }
    bool operator==(const ControlRequest&) const = default;

    ControlVerb verb;
    End end = End::None;
    /// The Unix time in seconds for `At`, the PID for `WhilePid`.
    qint64 endValue = 0;
};

/// What the running instance answers to every verb.
struct ControlReply {
    bool awake = false;
    QString title{};
    QString subtitle{};
    bool operator==(const ControlReply&) const = default;
};

namespace ControlProtocol {

inline constexpr qsizetype maxRequestBytes = 64;
/// How long after taking a connection the server may still carry out its request.
inline constexpr std::chrono::milliseconds serverDeadline{2000};
/// How long a client waits for its reply. Longer than `serverDeadline` by room for a connection
/// that waits to be taken on a busy machine, so that the server gives up on a request before its
/// client does: a request is either carried out and answered, or neither.
inline constexpr std::chrono::milliseconds clientDeadline{5000};

[[nodiscard]] QByteArray verbName(ControlVerb verb);
[[nodiscard]] std::optional<ControlVerb> verbFromName(QByteArrayView name);

[[nodiscard]] QByteArray request(const ControlRequest& request);
/// The request in one line without its line break, or nothing when it is none.
[[nodiscard]] std::optional<ControlRequest> requestFromLine(QByteArrayView line);
[[nodiscard]] QByteArray encodeReply(const ControlReply& reply);
[[nodiscard]] QByteArray errorReply();
/// The reply, or nothing when `bytes` is not a complete reply (an error, a cut connection).
[[nodiscard]] std::optional<ControlReply> decodeReply(const QByteArray& bytes);

} // namespace ControlProtocol

} // namespace vigilo
