#pragma once

#include "ports/UpdateFramework.h"

#include <cstdint>
#include <string_view>

namespace vigilo {

/// Which step failed, for an error Sparkle reports with `code` (its SUError values) and the
/// localised `description`. The description decides first, because it is all the user's text
/// can go by: one that speaks of a download is a download failure, one that speaks of the
/// internet or a network a connection failure. Otherwise the code's range tells the step:
/// configuration (1–999), signature and validation (3001, 3002), unpacking (3000–3999),
/// installation (4000–4999); the feed for every other code.
[[nodiscard]] UpdateErrorKind sparkleErrorKind(std::int64_t code, std::string_view description);

} // namespace vigilo
