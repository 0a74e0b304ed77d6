#include "platform/linux/StatsFiles.h"

#include "system/Trimmed.h"

#include <charconv>
#include <fcntl.h>
#include <unistd.h>

namespace vigilo::LinuxStats {

std::optional<std::string> readFileStart(const std::filesystem::path& path) {
    // Plain POSIX reads: this runs every stats tick, and kernel files are generated on each
    // read, so one read call of a page is both the cheapest and the most consistent.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    std::string text(4096, '\0');
    const ssize_t count = ::read(fd, text.data(), text.size());
    ::close(fd);
    if (count < 0) {
        return std::nullopt;
    }
    text.resize(static_cast<std::size_t>(count));
    return text;
}

std::optional<std::int64_t> parseInteger(std::string_view text) {
    text = trimmed(text);
    std::int64_t value = 0;
    const auto* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc{} || stop != end) {
        return std::nullopt;
    }
    return value;
}

} // namespace vigilo::LinuxStats
