#include "model/MetricsTexts.h"

#include <functional>
#include <gtest/gtest.h>

namespace vigilo {
namespace {

using namespace MetricsTexts;

constexpr std::uint64_t GiB = 1ULL << 30;

struct TextCase {
    const char* what;
    std::function<std::string()> text;
    std::string expected;
};

BatteryInfo battery(std::int64_t percent, bool charging, bool onAC,
                    std::optional<std::int64_t> minutesLeft = std::nullopt) {
    return {.percent = percent, .isCharging = charging, .onAC = onAC, .minutesLeft = minutesLeft};
}

TEST(MetricsTexts, FormatFiguresAsTheRowShowsThem) {
    const std::vector<TextCase> cases = {
        {"half the memory",
         [] {
             return memorySummary({8 * GiB, 16 * GiB});
         },
         "50%"},
        {"memory in GiB",
         [] {
             return memoryDetail({8 * GiB, 16 * GiB});
         },
         "8,0 из 16,0 ГБ"},
        {"no memory installed",
         [] {
             return memorySummary({0, 0});
         },
         "0%"},
        {"free disk from 100 on",
         [] {
             return diskSummary({245'000'000'000, 494'000'000'000});
         },
         "245 ГБ"},
        {"disk in GB",
         [] {
             return diskDetail({245'000'000'000, 494'000'000'000});
         },
         "свободно 245 из 494 ГБ"},
        {"free disk below 100",
         [] {
             return diskSummary({99'940'000'000, 494'000'000'000});
         },
         "99,9 ГБ"},
        {"percent rounds", [] { return percent(0.125); }, "13%"},
        {"size rounds to whole", [] { return size(100.5); }, "101"},
        {"empty CPU history", [] { return cpu({}); }, "…"},
        {"last CPU sample",
         [] {
             return cpu({0.9, 0.07});
         },
         "7%"},
        {"draining battery", [] { return batteryDetail(battery(12, false, false, 95)); },
         "12% · ещё 1 ч 35 мин"},
        {"charging battery", [] { return batteryDetail(battery(100, true, true)); },
         "100% · заряжается"},
        {"full on AC", [] { return batteryDetail(battery(100, false, true)); }, "100% · от сети"},
        {"no estimate", [] { return batteryDetail(battery(40, false, false)); }, "40%"},
        {"battery summary", [] { return batterySummary(battery(12, false, false, 95)); }, "12%"},
        {"lookup help names the service", [] { return lookupHelp(); },
         "Запросить внешний IP у api.ipify.org"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.text(), c.expected) << c.what;
    }
}

TEST(MetricsTexts, BatterySymbolFollowsTheChargeInQuarters) {
    const std::vector<std::pair<BatteryInfo, std::string>> cases = {
        {battery(100, true, true), "battery.100percent.bolt"},
        {battery(99, true, true), "battery.100percent"},
        {battery(100, false, true), "battery.100percent"},
        {battery(12, false, false, 95), "battery.0percent"},
        {battery(13, false, false), "battery.25percent"},
        {battery(37, false, false), "battery.25percent"},
        {battery(38, false, false), "battery.50percent"},
        {battery(63, false, false), "battery.75percent"},
        {battery(87, true, true), "battery.75percent"},
        {battery(88, false, false), "battery.100percent"},
    };
    for (const auto& [info, symbol] : cases) {
        EXPECT_EQ(batterySymbol(info), symbol) << info.percent << "% charging " << info.isCharging;
    }
}

} // namespace
} // namespace vigilo
