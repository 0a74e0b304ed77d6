#include "system/SystemStats.h"

#include "fakes/FakeStatsSource.h"

#include <gtest/gtest.h>
#include <limits>

namespace vigilo {
namespace {

using Family = InterfaceAddress::Family;

class SystemStatsTest : public testing::Test {
protected:
    fakes::FakeStatsSource source;
    SystemStats stats{source};
};

// CPU load

TEST_F(SystemStatsTest, FirstSampleOnlyPrimesTheCounters) {
    source.ticks = {CpuTicks{100, 50, 800, 10}, CpuTicks{130, 60, 850, 10}};
    stats.sampleCPU();
    EXPECT_FALSE(stats.cpuUsage());

    stats.sampleCPU();
    // busy 40, idle 50
    ASSERT_TRUE(stats.cpuUsage());
    EXPECT_DOUBLE_EQ(*stats.cpuUsage(), 40.0 / 90.0);
}

TEST_F(SystemStatsTest, IdenticalCountersKeepThePreviousLoad) {
    source.ticks = {CpuTicks{0, 0, 0, 0}, CpuTicks{30, 0, 70, 0}, CpuTicks{30, 0, 70, 0}};
    stats.sampleCPU();
    stats.sampleCPU();
    stats.sampleCPU();
    ASSERT_TRUE(stats.cpuUsage());
    EXPECT_DOUBLE_EQ(*stats.cpuUsage(), 0.3);
}

TEST_F(SystemStatsTest, FailedReadingChangesNothing) {
    source.ticks = {CpuTicks{0, 0, 0, 0}, std::nullopt, CpuTicks{10, 0, 10, 0}};
    stats.sampleCPU();
    stats.sampleCPU();
    EXPECT_FALSE(stats.cpuUsage());
    stats.sampleCPU(); // compared with the first reading, the failed one left no trace
    ASSERT_TRUE(stats.cpuUsage());
    EXPECT_DOUBLE_EQ(*stats.cpuUsage(), 0.5);
}

TEST_F(SystemStatsTest, EveryReadingIsComparedWithTheOneBefore) {
    source.ticks = {CpuTicks{0, 0, 0, 0}, CpuTicks{10, 0, 0, 0}, CpuTicks{10, 0, 10, 0}};
    stats.sampleCPU();
    stats.sampleCPU();
    EXPECT_DOUBLE_EQ(stats.cpuUsage().value_or(-1), 1.0);
    stats.sampleCPU();
    EXPECT_DOUBLE_EQ(stats.cpuUsage().value_or(-1), 0.0);
}

TEST(CpuLoad, CountersThatWrappedStillGiveTheElapsedTicks) {
    constexpr auto top = std::numeric_limits<std::uint32_t>::max();
    // user passes 2^32 (top - 4 → 5: 10 ticks), idle too (top → 9: 10 ticks)
    const auto load = cpuLoad(CpuTicks{top - 4, 0, top, 0}, CpuTicks{5, 0, 9, 0});
    ASSERT_TRUE(load);
    EXPECT_DOUBLE_EQ(*load, 0.5);

    // the busy sum wraps although no single counter does
    const auto sumWraps =
        cpuLoad(CpuTicks{top / 2, top / 2, 0, 10}, CpuTicks{top / 2 + 3, top / 2, 1, 10});
    ASSERT_TRUE(sumWraps);
    EXPECT_DOUBLE_EQ(*sumWraps, 0.75);

    // stolen time passes 2^32 (top - 1 → 1: 3 ticks), idle waiting for input or output too
    const auto stealWraps =
        cpuLoad(CpuTicks{.ioWait = top - 2, .steal = top - 1}, CpuTicks{.ioWait = 6, .steal = 1});
    ASSERT_TRUE(stealWraps);
    EXPECT_DOUBLE_EQ(*stealWraps, 3.0 / 12.0);
}

TEST(CpuLoad, BusyAndIdleStates) {
    struct Case {
        const char* name;
        CpuTicks elapsed;
        double load;
    };
    const Case cases[] = {
        {"nice is busy", {.idle = 3, .nice = 1}, 0.25},
        {"system is busy", {.system = 2, .idle = 2}, 0.5},
        {"interrupts are busy", {.idle = 3, .interrupts = 1}, 0.25},
        {"stolen time is busy", {.user = 1, .idle = 2, .steal = 1}, 0.5},
        {"waiting for input or output is idle", {.user = 1, .idle = 1, .ioWait = 2}, 0.25},
    };
    for (const auto& [name, elapsed, load] : cases) {
        EXPECT_DOUBLE_EQ(cpuLoad(CpuTicks{}, elapsed).value_or(-1), load) << name;
    }
}

// Memory and disk

TEST_F(SystemStatsTest, MemoryCountsInternalWiredAndCompressed) {
    source.memory = MemoryFigures{.internal = 100 * 4096,
                                  .purgeable = 30 * 4096,
                                  .wired = 20 * 4096,
                                  .compressed = 10 * 4096,
                                  .physical = 1 << 30};
    EXPECT_EQ(stats.memory(), (MemoryUsage{100 * 4096, 1 << 30}));
}

TEST_F(SystemStatsTest, PurgeableAboveInternalCountsAsNothing) {
    source.memory = MemoryFigures{.internal = 10 * 1024,
                                  .purgeable = 30 * 1024,
                                  .wired = 20 * 1024,
                                  .compressed = 5 * 1024,
                                  .physical = 1000000};
    EXPECT_EQ(stats.memory(), (MemoryUsage{25 * 1024, 1000000}));
}

TEST_F(SystemStatsTest, UnreadableFiguresGiveNothing) {
    EXPECT_FALSE(stats.memory());
    EXPECT_FALSE(stats.disk());
    EXPECT_FALSE(stats.battery());
    EXPECT_FALSE(stats.localIP());
}

// Battery

PowerSource battery(std::int64_t charge, std::int64_t capacity,
                    ChargeUnit unit = ChargeUnit::MicrowattHours) {
    return {.kind = PowerSource::Kind::InternalBattery,
            .unit = unit,
            .charge = charge,
            .capacity = capacity};
}

PowerSource draining(PowerSource source, std::int64_t drain) {
    source.drain = drain;
    return source;
}

PowerSource pluggedIn(PowerSource source) {
    source.onExternalPower = true;
    return source;
}

PowerSource charging(PowerSource source) {
    source.isCharging = true;
    return pluggedIn(source);
}

PowerSource peripheral(PowerSource source) {
    source.kind = PowerSource::Kind::Other;
    return source;
}

struct BatteryCase {
    const char* name;
    std::vector<PowerSource> sources;
    std::optional<BatteryInfo> expected;
};

TEST(ComputerBattery, FromThePowerSources) {
    constexpr auto none = std::nullopt;
    const BatteryCase cases[] = {
        {"percent is truncated", {battery(2, 3)}, BatteryInfo{66, false, false, none}},
        {"percent of the capacity", {battery(50, 200)}, BatteryInfo{25, false, false, none}},
        {"percent is not clamped", {battery(7, 3)}, BatteryInfo{233, false, false, none}},
        {"charging on external power",
         {charging(battery(80, 100))},
         BatteryInfo{80, true, true, none}},
        {"minutes from charge over drain",
         {draining(battery(30'000'000, 40'000'000), 12'000'000)},
         BatteryInfo{75, false, false, 150}},
        {"no minutes without a drain",
         {draining(battery(80, 100), 0)},
         BatteryInfo{80, false, false, none}},
        {"no minutes below one",
         {draining(battery(1, 100), 61)},
         BatteryInfo{1, false, false, none}},
        {"two batteries weigh by capacity; minutes from all charge over all drain",
         {battery(2'300'000, 23'000'000), draining(battery(69'120'000, 72'000'000), 9'500'000)},
         BatteryInfo{75, false, false, 451}},
        {"drains add up",
         {draining(battery(40, 100), 10), draining(battery(60, 100), 20)},
         BatteryInfo{50, false, false, 200}},
        {"charging when any charges",
         {battery(10, 100), charging(battery(96, 100))},
         BatteryInfo{53, true, true, none}},
        {"on external power when any says so",
         {battery(10, 100), pluggedIn(battery(96, 100))},
         BatteryInfo{53, false, true, none}},
        {"different units weigh the same and give no minutes",
         {draining(battery(10, 100, ChargeUnit::Percent), 5),
          draining(battery(2'400'000, 2'500'000, ChargeUnit::MicroampHours), 500'000)},
         BatteryInfo{53, false, false, none}},
        {"skips peripherals and unknown capacities",
         {peripheral(battery(10, 100)), battery(40, 0), battery(40, -5), battery(60, 100),
          battery(70, 100)},
         BatteryInfo{65, false, false, none}},
        {"no battery", {}, none},
        {"no usable battery", {peripheral(battery(50, 100)), battery(50, 0)}, none},
    };
    for (const auto& [name, sources, expected] : cases) {
        EXPECT_EQ(computerBattery(sources), expected) << name;
    }
}

// Local address

InterfaceAddress address(std::string name, std::string text, Family family = Family::IPv4,
                         bool up = true, bool loopback = false) {
    return {std::move(name), up, loopback, family, std::move(text)};
}

TEST(LocalIPv4, PreferredInterfaceWinsOverEarlierOthers) {
    EXPECT_EQ(localIPv4({address("utun0", "10.8.0.2"), address("en0", "192.168.1.5")}),
              "192.168.1.5");
}

TEST(LocalIPv4, FirstOtherInterfaceIsTheFallback) {
    EXPECT_EQ(localIPv4({address("utun0", "10.8.0.2")}), "10.8.0.2");
    EXPECT_EQ(localIPv4({address("utun0", "10.8.0.2"), address("bridge0", "10.0.0.1")}),
              "10.8.0.2");
}

TEST(LocalIPv4, SkipsLoopbackDownAndIPv6) {
    EXPECT_EQ(localIPv4({address("lo0", "127.0.0.1", Family::IPv4, true, true)}), std::nullopt);
    EXPECT_EQ(localIPv4({address("en0", "192.168.1.5", Family::IPv4, false),
                         address("en0", "fe80::1", Family::IPv6), address("utun0", "10.8.0.2")}),
              "10.8.0.2");
    EXPECT_EQ(localIPv4({address("en0", "2001:db8::1", Family::IPv6)}), std::nullopt);
    EXPECT_EQ(localIPv4({}), std::nullopt);
}

TEST(LocalIPv4, PreferredPrefixesAreAParameter) {
    const std::vector<InterfaceAddress> list{address("docker0", "172.17.0.1"),
                                             address("wlp2s0", "192.168.1.7"),
                                             address("eth0", "192.168.1.8")};
    EXPECT_EQ(localIPv4(list), "172.17.0.1");
    EXPECT_EQ(localIPv4(list, {"en", "eth", "wl"}), "192.168.1.7");
}

TEST_F(SystemStatsTest, LocalIPUsesTheSourcePrefixes) {
    source.addresses = {address("virbr0", "192.168.122.1"), address("eth0", "192.168.1.8")};
    EXPECT_EQ(stats.localIP(), "192.168.122.1");
    source.prefixes = {"eth"};
    EXPECT_EQ(stats.localIP(), "192.168.1.8");
}

} // namespace
} // namespace vigilo
