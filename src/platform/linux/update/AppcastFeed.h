#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vigilo {

/// One release offered by an appcast: an RSS 2.0 item whose enclosure is the release's archive.
struct AppcastItem {
    /// The release number compared with the running one (`sparkle:version`).
    std::string version;
    /// The version shown to people (`sparkle:shortVersionString`), else `version`.
    std::string displayVersion;
    /// The item's `pubDate`, when it is a valid RFC 2822 date.
    std::optional<std::chrono::sys_seconds> published;
    /// The archive's address.
    std::string url;
    /// The archive's size in bytes, when the feed gives one.
    std::optional<std::uint64_t> length;
    /// The Base64 Ed25519 signature of the archive (`sparkle:edSignature`).
    std::optional<std::string> edSignature;

    bool operator==(const AppcastItem&) const = default;
};

namespace AppcastFeed {

/// The releases of an appcast, in feed order. The release number, display version and signature
/// may be elements of the item or attributes of its enclosure (an element wins), all in the
/// Sparkle namespace under any prefix. Items without an enclosure address or a release number
/// are left out. Nothing when `xml` is not a well-formed RSS document.
[[nodiscard]] std::optional<std::vector<AppcastItem>> parse(std::string_view xml);

/// The newest release that is newer than `running`. Nothing when none is, and when `running` is
/// not a release number; releases whose numbers cannot be read are never chosen.
[[nodiscard]] std::optional<AppcastItem> newestNewerThan(const std::vector<AppcastItem>& items,
                                                         std::string_view running);

} // namespace AppcastFeed

} // namespace vigilo
