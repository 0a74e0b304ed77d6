#include "model/MetricsTexts.h"

#include "system/ExternalAddress.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <string_view>

namespace vigilo::MetricsTexts {

namespace {

constexpr double bytesPerGiB = 1024.0 * 1024.0 * 1024.0;
constexpr double bytesPerGB = 1e9;

double share(double part, double whole) {
    return whole > 0 ? part / whole : 0;
}

std::string gib(std::uint64_t bytes) {
    return size(static_cast<double>(bytes) / bytesPerGiB);
}

std::string gb(std::int64_t bytes) {
    return size(static_cast<double>(bytes) / bytesPerGB);
}

} // namespace

std::string percent(double fraction) {
    return std::to_string(std::lround(fraction * 100)) + "%";
}

std::string size(double value) {
    if (value >= 100) {
        return std::to_string(std::llround(value));
    }
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.1f", value);
    std::string result(text.data());
    if (const auto point = result.find('.'); point != std::string::npos) {
        result[point] = ',';
    }
    return result;
}

std::string cpu(const std::vector<double>& history) {
    return history.empty() ? "…" : percent(history.back());
}

std::string memorySummary(const MemoryUsage& memory) {
    return percent(share(static_cast<double>(memory.used), static_cast<double>(memory.total)));
}

std::string memoryDetail(const MemoryUsage& memory) {
    return gib(memory.used) + " из " + gib(memory.total) + " ГБ";
}

std::string diskSummary(const DiskSpace& disk) {
    return gb(disk.free) + " ГБ";
}

std::string diskDetail(const DiskSpace& disk) {
    return "свободно " + gb(disk.free) + " из " + gb(disk.total) + " ГБ";
}

std::string batterySymbol(const BatteryInfo& battery) {
    const auto p = battery.percent;
    if (battery.isCharging && p > 99) {
        return "battery.100percent.bolt";
    }
    if (p < 13) {
        return "battery.0percent";
    }
    if (p < 38) {
        return "battery.25percent";
    }
    if (p < 63) {
        return "battery.50percent";
    }
    if (p < 88) {
        return "battery.75percent";
    }
    return "battery.100percent";
}

std::string batterySummary(const BatteryInfo& battery) {
    return std::to_string(battery.percent) + "%";
}

std::string batteryDetail(const BatteryInfo& battery) {
    auto summary = batterySummary(battery);
    if (battery.isCharging) {
        return summary + " · заряжается";
    }
    if (battery.onAC) {
        return summary + " · от сети";
    }
    if (battery.minutesLeft) {
        return summary + " · ещё " + std::to_string(*battery.minutesLeft / 60) + " ч " +
               std::to_string(*battery.minutesLeft % 60) + " мин";
    }
    return summary;
}

std::string lookupHelp() {
    std::string_view host = ExternalAddress::lookupUrl;
    if (const auto scheme = host.find("://"); scheme != std::string_view::npos) {
        host.remove_prefix(scheme + 3);
    }
    return "Запросить внешний IP у " + std::string(host);
}

} // namespace vigilo::MetricsTexts
