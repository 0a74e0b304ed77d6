#include "platform/macos/update/SparkleErrors.h"

#include <algorithm>
#include <string>

namespace vigilo {

namespace {

// Sparkle's codes (SUErrors.h).
constexpr std::int64_t signatureError = 3001;
constexpr std::int64_t validationError = 3002;

bool mentions(const std::string& text, std::string_view word) {
    return text.find(word) != std::string::npos;
}

} // namespace

UpdateErrorKind sparkleErrorKind(std::int64_t code, std::string_view description) {
    std::string lower(description);
    std::ranges::transform(lower, lower.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    if (mentions(lower, "download")) {
        return UpdateErrorKind::download;
    }
    if (mentions(lower, "internet") || mentions(lower, "network")) {
        return UpdateErrorKind::network;
    }
    if (code >= 1 && code < 1000) {
        return UpdateErrorKind::unconfigured;
    }
    if (code == signatureError || code == validationError) {
        return UpdateErrorKind::signature;
    }
    if (code >= 3000 && code < 4000) {
        return UpdateErrorKind::archive;
    }
    if (code >= 4000 && code < 5000) {
        return UpdateErrorKind::install;
    }
    return UpdateErrorKind::feed;
}

} // namespace vigilo
