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
}

TEST(CpuLoad, NiceTimeCountsAsBusy) {
    EXPECT_DOUBLE_EQ(cpuLoad(CpuTicks{0, 0, 0, 0}, CpuTicks{0, 0, 3, 1}).value_or(-1), 0.25);
    EXPECT_DOUBLE_EQ(cpuLoad(CpuTicks{0, 0, 0, 0}, CpuTicks{0, 2, 2, 0}).value_or(-1), 0.5);
}

// Memory and disk

TEST_F(SystemStatsTest, MemoryCountsInternalWiredAndCompressedPages) {
    source.vm = VmFigures{.internalPages = 100,
                          .purgeablePages = 30,
                          .wiredPages = 20,
                          .compressorPages = 10,
                          .pageSize = 4096,
                          .physicalMemory = 1 << 30};
    EXPECT_EQ(stats.memory(), (MemoryUsage{100 * 4096, 1 << 30}));
}

TEST_F(SystemStatsTest, PurgeableAboveInternalCountsAsNothing) {
    source.vm = VmFigures{.internalPages = 10,
                          .purgeablePages = 30,
                          .wiredPages = 20,
                          .compressorPages = 5,
                          .pageSize = 1024,
                          .physicalMemory = 1000000};
    EXPECT_EQ(stats.memory(), (MemoryUsage{25 * 1024, 1000000}));
}

TEST_F(SystemStatsTest, UnreadableFiguresGiveNothing) {
    EXPECT_FALSE(stats.memory());
    EXPECT_FALSE(stats.disk());
    EXPECT_FALSE(stats.battery());
    EXPECT_FALSE(stats.localIP());
}

// Battery

PowerSourceDescription internalBatteryAt(std::int64_t current, std::int64_t maximum) {
    return {{"Type", std::string("InternalBattery")},
            {"Current Capacity", current},
            {"Max Capacity", maximum}};
}

TEST(InternalBattery, PercentIsTruncatedAndNotClamped) {
    EXPECT_EQ(internalBattery({internalBatteryAt(50, 200)})->percent, 25);
    EXPECT_EQ(internalBattery({internalBatteryAt(7, 3)})->percent, 233);
    EXPECT_EQ(internalBattery({internalBatteryAt(2, 3)})->percent, 66);
}

TEST(InternalBattery, ReadsFlagsAndMinutes) {
    auto description = internalBatteryAt(80, 100);
    description["Is Charging"] = true;
    description["Power Source State"] = std::string("AC Power");
    description["Time to Empty"] = std::int64_t{95};
    EXPECT_EQ(internalBattery({description}), (BatteryInfo{80, true, true, 95}));
}

TEST(InternalBattery, MissingOrMistypedOptionalKeysTakeDefaults) {
    auto description = internalBatteryAt(80, 100);
    EXPECT_EQ(internalBattery({description}), (BatteryInfo{80, false, false, std::nullopt}));

    description["Is Charging"] = std::int64_t{1};
    description["Power Source State"] = std::string("Battery Power");
    description["Time to Empty"] = std::string("95");
    EXPECT_EQ(internalBattery({description}), (BatteryInfo{80, false, false, std::nullopt}));
}

TEST(InternalBattery, OnlyPositiveTimeToEmptyCounts) {
    for (const std::int64_t minutes : {-1, 0}) {
        auto description = internalBatteryAt(80, 100);
        description["Time to Empty"] = minutes;
        EXPECT_EQ(internalBattery({description})->minutesLeft, std::nullopt) << minutes;
    }
}

TEST(InternalBattery, SkipsUnusableSourcesAndTakesTheFirstGoodOne) {
    auto ups = internalBatteryAt(10, 100);
    ups["Type"] = std::string("UPS");
    auto untyped = internalBatteryAt(20, 100);
    untyped.erase("Type");
    auto textCapacity = internalBatteryAt(30, 100);
    textCapacity["Current Capacity"] = std::string("30");
    const std::vector<PowerSourceDescription> sources{ups,
                                                      untyped,
                                                      internalBatteryAt(40, 0),
                                                      internalBatteryAt(40, -5),
                                                      textCapacity,
                                                      internalBatteryAt(60, 100),
                                                      internalBatteryAt(70, 100)};

    EXPECT_EQ(internalBattery(sources)->percent, 60);
}

TEST(InternalBattery, NoUsableSourceGivesNothing) {
    EXPECT_FALSE(internalBattery({}));
    EXPECT_FALSE(internalBattery({internalBatteryAt(50, 0)}));
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
