#include "platform/linux/stats/ProcStats.h"

#include "util/Text.h"

#include <array>
#include <charconv>

namespace vigilo::LinuxStats {

namespace {

/// The value of the "<key>:  <number> kB" line of /proc/meminfo, in KiB.
std::optional<std::uint64_t> memInfoKiB(std::string_view memInfo, std::string_view key) {
    std::size_t start = 0;
    while (start < memInfo.size()) {
        const auto end = memInfo.find('\n', start);
        const auto line = memInfo.substr(start, end - start);
        if (line.size() > key.size() && line.starts_with(key) && line[key.size()] == ':') {
            auto value = trimmed(line.substr(key.size() + 1));
            if (value.ends_with("kB")) {
                value.remove_suffix(2);
            }
            const auto number = parseInteger(trimmed(value));
            if (!number || *number < 0) {
                return std::nullopt;
            }
            return static_cast<std::uint64_t>(*number);
        }
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    return std::nullopt;
}

} // namespace

std::optional<CpuTicks> parseCpuTicks(std::string_view procStat) {
    if (!procStat.starts_with("cpu ")) {
        return std::nullopt;
    }
    auto line = procStat.substr(4, procStat.find('\n') - 4);
    // user, nice, system, idle, iowait, irq, softirq, steal; older kernels stop earlier. The
    // guest columns after them are already counted in user and nice.
    std::array<std::uint64_t, 8> columns{};
    std::size_t count = 0;
    for (; count < columns.size(); ++count) {
        const auto start = line.find_first_not_of(' ');
        if (start == std::string_view::npos) {
            break;
        }
        line.remove_prefix(start);
        const auto* end = line.data() + line.size();
        const auto [stop, error] = std::from_chars(line.data(), end, columns[count]);
        if (error != std::errc{} || (stop != end && *stop != ' ')) {
            return std::nullopt;
        }
        line.remove_prefix(static_cast<std::size_t>(stop - line.data()));
    }
    if (count < 4) {
        return std::nullopt;
    }
    const auto low32 = [](std::uint64_t value) { return static_cast<std::uint32_t>(value); };
    return CpuTicks{.user = low32(columns[0]),
                    .system = low32(columns[2]),
                    .idle = low32(columns[3]),
                    .nice = low32(columns[1]),
                    .ioWait = low32(columns[4]),
                    .interrupts = low32(columns[5] + columns[6]),
                    .steal = low32(columns[7])};
}

std::optional<MemoryFigures> parseMemInfo(std::string_view memInfo) {
    const auto total = memInfoKiB(memInfo, "MemTotal");
    const auto available = memInfoKiB(memInfo, "MemAvailable");
    if (!total || !available || *available > *total) {
        return std::nullopt;
    }
    return MemoryFigures{.internal = (*total - *available) * 1024, .physical = *total * 1024};
}

} // namespace vigilo::LinuxStats
