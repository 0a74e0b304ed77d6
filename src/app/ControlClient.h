#pragma once

#include "app/ControlProtocol.h"

#include <QString>
#include <chrono>

namespace vigilo {

/// How a control request went.
struct ControlResult {
    enum class Status {
        Answered,
        /// Nobody listens on the socket.
        NotRunning,
        /// Something listens but gave no complete reply in time.
        NoAnswer,
        /// A process of another user listens: it is not asked anything.
        Stranger,
    };
    Status status = Status::NotRunning;
    ControlReply reply{};
};

/// Sends `request` to the instance listening on `socketPath` and waits for its reply, never longer
/// than `timeout` in total. Blocking: call it where no event loop has to keep running, or from
/// another thread.
[[nodiscard]] ControlResult
sendControl(const QString& socketPath, const ControlRequest& request,
            std::chrono::milliseconds timeout = ControlProtocol::clientDeadline);

} // namespace vigilo
