#include "platform/macos/stats/MacStatsSource.h"

#include "FakeSystem.h"
#include "system/SystemStats.h"

#include <algorithm>

namespace vigilo {
namespace {

using MacStatsSourceTest = testing::FakeSystemTest;

host_cpu_load_info_data_t ticks(natural_t user, natural_t system, natural_t idle, natural_t nice) {
    host_cpu_load_info_data_t load{};
    load.cpu_ticks[CPU_STATE_USER] = user;
    load.cpu_ticks[CPU_STATE_SYSTEM] = system;
    load.cpu_ticks[CPU_STATE_IDLE] = idle;
    load.cpu_ticks[CPU_STATE_NICE] = nice;
    return load;
}

TEST_F(MacStatsSourceTest, ReadsTheFourCpuCountersInTheirPlaces) {
    fakeapple::setCpuTicks(ticks(1, 2, 3, 4));
    MacStatsSource source;
    EXPECT_EQ(source.cpuTicks(), (CpuTicks{.user = 1, .system = 2, .idle = 3, .nice = 4}));
    fakeapple::setCpuTicks(std::nullopt);
    EXPECT_EQ(source.cpuTicks(), std::nullopt);
}

TEST_F(MacStatsSourceTest, CpuLoadSurvivesACounterWrap) {
    MacStatsSource source;
    SystemStats stats(source);
    constexpr natural_t nearTheTop = 0xFFFFFFF0U;
    fakeapple::setCpuTicks(ticks(nearTheTop, 100, nearTheTop, 0));
    stats.sampleCPU();
    // 32 user ticks later the user counter has wrapped; idle went on by 96.
    fakeapple::setCpuTicks(ticks(nearTheTop + 32U, 100, nearTheTop + 96U, 0));
    stats.sampleCPU();
    ASSERT_TRUE(stats.cpuUsage());
    EXPECT_DOUBLE_EQ(*stats.cpuUsage(), 0.25);
}

TEST_F(MacStatsSourceTest, MemoryIsCountedInPagesOfTheHostsSize) {
    vm_statistics64_data_t vm{};
    vm.internal_page_count = 1000;
    vm.purgeable_count = 100;
    vm.wire_count = 50;
    vm.compressor_page_count = 25;
    vm.free_count = 7777; // not part of any figure
    fakeapple::setVmStatistics(vm);
    fakeapple::setPageSize(16384);
    fakeapple::setPhysicalMemory(8ULL << 30);
    MacStatsSource source;
    EXPECT_EQ(source.memoryFigures()->internal, 1000U * 16384U);
    EXPECT_EQ(source.memoryFigures()->purgeable, 100U * 16384U);
    EXPECT_EQ(source.memoryFigures()->wired, 50U * 16384U);
    EXPECT_EQ(source.memoryFigures()->compressed, 25U * 16384U);
    EXPECT_EQ(source.memoryFigures()->physical, 8ULL << 30);
    SystemStats stats(source);
    EXPECT_EQ(stats.memory()->used, (1000U - 100U + 50U + 25U) * 16384U);

    fakeapple::setPhysicalMemory(std::nullopt);
    EXPECT_EQ(source.memoryFigures(), std::nullopt);
    fakeapple::setPhysicalMemory(1);
    fakeapple::setVmStatistics(std::nullopt);
    EXPECT_EQ(source.memoryFigures(), std::nullopt);
}

TEST_F(MacStatsSourceTest, TheStartUpVolumeNeedsBothCapacities) {
    struct Case {
        const char* name;
        std::optional<std::int64_t> available;
        std::optional<std::int64_t> total;
        bool fails;
        std::optional<VolumeCapacity> expected;
    };
    const Case cases[] = {
        {"both", 300, 1000, false, VolumeCapacity{.available = 300, .total = 1000}},
        {"no available capacity", std::nullopt, 1000, false, std::nullopt},
        {"no total", 300, std::nullopt, false, std::nullopt},
        {"the query fails", 300, 1000, true, std::nullopt},
    };
    for (const auto& c : cases) {
        fakeapple::reset();
        fakeapple::setVolumeCapacity(c.available, c.total);
        fakeapple::failVolumeQuery(c.fails);
        {
            MacStatsSource source;
            const auto capacity = source.rootVolumeCapacity();
            EXPECT_EQ(capacity.has_value(), c.expected.has_value()) << c.name;
            if (capacity && c.expected) {
                EXPECT_EQ(capacity->available, c.expected->available) << c.name;
                EXPECT_EQ(capacity->total, c.expected->total) << c.name;
            }
            EXPECT_EQ(fakeapple::lastFileSystemPath(), "/") << c.name;
        }
        EXPECT_EQ(fakeapple::problems(), std::vector<std::string>{}) << c.name;
    }
}

TEST_F(MacStatsSourceTest, ListsTheLoopbackAddressesAndPrefersEthernetAndWifi) {
    MacStatsSource source;
    const auto addresses = source.interfaceAddresses();
    const bool hasLoopback = std::any_of(addresses.begin(), addresses.end(), [](const auto& entry) {
        return entry.isLoopback && entry.isUp && entry.address == "127.0.0.1" &&
               entry.family == InterfaceAddress::Family::IPv4;
    });
    EXPECT_TRUE(hasLoopback);
    EXPECT_EQ(source.preferredInterfacePrefixes(), std::vector<std::string>{"en"});
}

} // namespace
} // namespace vigilo
