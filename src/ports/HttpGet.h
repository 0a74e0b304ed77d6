#pragma once

#include <functional>
#include <optional>
#include <string>

namespace vigilo {

/// Plain HTTP(S) GET requests that finish later, on the main thread.
class HttpGet {
public:
    /// Receives the response body as raw bytes, whatever the response status; nothing when no
    /// response came (no network, refused, timed out, any transport error).
    using Completion = std::function<void(std::optional<std::string> body)>;

    virtual ~HttpGet() = default;
    /// Starts a GET of `url` with no extra headers and returns at once. `done` runs exactly
    /// once, later, on the main thread, unless this object is destroyed first: then it never
    /// runs.
    virtual void get(const std::string& url, Completion done) = 0;
};

} // namespace vigilo
