#pragma once

#include "ports/HttpGet.h"

#include <vector>

namespace vigilo::fakes {

/// Keeps requests open until the test answers them.
class FakeHttpGet final : public HttpGet {
public:
    void get(const std::string& url, Completion done) override {
        urls.push_back(url);
        pending.push_back(std::move(done));
    }
    /// Completes the oldest open request.
    void answer(std::optional<std::string> body) {
        auto done = std::move(pending.front());
        pending.erase(pending.begin());
        done(std::move(body));
    }

    std::vector<std::string> urls;
    std::vector<Completion> pending;
};

} // namespace vigilo::fakes
