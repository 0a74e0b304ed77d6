#include "platform/linux/stats/LinuxStatsSource.h"

#include "../TempFolder.h"
#include "platform/linux/stats/InterfaceAddresses.h"
#include "platform/linux/stats/ProcStats.h"
#include "platform/posix/UniqueFd.h"
#include "system/SystemStats.h"

#include <arpa/inet.h>
#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vigilo {
namespace {

std::filesystem::path fixture(const char* name) {
    return std::filesystem::path(VIGILO_TEST_DATA) / "linux-stats" / name;
}

// Fixture trees

TEST(LinuxStatsSource, DischargingLaptop) {
    LinuxStatsSource source(fixture("discharging"));
    // user 4294967400 keeps its low 32 bits
    EXPECT_EQ(source.cpuTicks(), (CpuTicks{.user = 104,
                                           .system = 3000,
                                           .idle = 90000,
                                           .nice = 20,
                                           .ioWait = 150,
                                           .interrupts = 10}));

    SystemStats stats(source);
    EXPECT_EQ(stats.memory(), (MemoryUsage{2'000'000ull * 1024, 8'000'000ull * 1024}));
    EXPECT_EQ(source.powerSources(),
              (std::vector<PowerSource>{{.kind = PowerSource::Kind::InternalBattery,
                                         .unit = ChargeUnit::MicrowattHours,
                                         .charge = 30'000'000,
                                         .capacity = 40'000'000,
                                         .drain = 12'000'000}}));
    EXPECT_EQ(stats.battery(), (BatteryInfo{75, false, false, 150}));
}

TEST(LinuxStatsSource, ChargingLaptopWithDeviceBattery) {
    LinuxStatsSource source(fixture("charging"));
    EXPECT_EQ(source.cpuTicks(), (CpuTicks{.user = 100, .system = 50, .idle = 1000, .nice = 0}));
    // The mouse battery is not the computer's.
    const auto sources = source.powerSources();
    ASSERT_EQ(sources.size(), 2u);
    EXPECT_EQ(sources[0].kind, PowerSource::Kind::InternalBattery);
    EXPECT_EQ(sources[1].kind, PowerSource::Kind::Other);

    SystemStats stats(source);
    EXPECT_EQ(stats.memory(), (MemoryUsage{1'000'000ull * 1024, 16'000'000ull * 1024}));
    EXPECT_EQ(stats.battery(), (BatteryInfo{50, true, true, std::nullopt}));
}

TEST(LinuxStatsSource, DesktopWithoutBattery) {
    LinuxStatsSource source(fixture("no-battery"));
    EXPECT_EQ(source.cpuTicks(), (CpuTicks{.user = 1, .system = 3, .idle = 4, .nice = 2}));
    EXPECT_TRUE(source.powerSources().empty());
    EXPECT_FALSE(SystemStats(source).battery());
}

TEST(LinuxStatsSource, OddValues) {
    LinuxStatsSource source(fixture("odd"));
    EXPECT_FALSE(source.cpuTicks());
    EXPECT_FALSE(source.memoryFigures());

    // BAT0 is an empty bay; BAT1 has unreadable figures; BAT2 reports energy_full 0 and
    // falls back to its percentage.
    const auto sources = source.powerSources();
    ASSERT_EQ(sources.size(), 2u);
    EXPECT_EQ(sources[0].capacity, 0);
    EXPECT_FALSE(sources[0].drain);
    EXPECT_EQ(SystemStats(source).battery(), (BatteryInfo{42, false, true, std::nullopt}));
}

TEST(LinuxStatsSource, BatteryOfEachTree) {
    struct Case {
        const char* tree;
        std::optional<BatteryInfo> battery;
    };
    const Case cases[] = {
        // Idle at 80 % behind a USB-C charger that negotiates its voltage ("online" 2).
        {"usb-c-charger", BatteryInfo{80, false, true, std::nullopt}},
        // BAT0 at 10 % rests ("Not charging") while BAT1 at 96 % runs the computer on battery.
        {"two-batteries", BatteryInfo{75, false, false, 451}},
    };
    for (const auto& [tree, battery] : cases) {
        LinuxStatsSource source(fixture(tree));
        EXPECT_EQ(SystemStats(source).battery(), battery) << tree;
    }
}

TEST(LinuxStatsSource, SuppliesFollowTheFolderBetweenReads) {
    namespace fs = std::filesystem;
    const TempFolder root;
    const fs::path supplies = root.path() / "sys/class/power_supply";
    fs::create_directories(supplies);
    fs::copy(fixture("discharging") / "sys/class/power_supply", supplies,
             fs::copy_options::recursive);
    LinuxStatsSource source(root.path());
    SystemStats stats(source);
    ASSERT_EQ(stats.battery(), (BatteryInfo{75, false, false, 150}));

    writeFile(supplies / "BAT0/energy_now", "20000000\n"); // sysfs rewrites in place
    EXPECT_EQ(stats.battery(), (BatteryInfo{50, false, false, 100})) << "a value changed";

    // The battery goes and another comes back under the same name, counting electric charge:
    // the old one's files are still open, and it had no charge_* files.
    const fs::path next = root.path() / "BAT0";
    fs::create_directory(next);
    for (const auto& [attribute, value] : {std::pair{"type", "Battery"},
                                           {"status", "Charging"},
                                           {"charge_now", "3000"},
                                           {"charge_full", "4000"}}) {
        writeFile(next / attribute, value);
    }
    fs::remove_all(supplies / "BAT0");
    fs::rename(next, supplies / "BAT0");
    EXPECT_EQ(stats.battery(), (BatteryInfo{75, true, true, std::nullopt})) << "a new battery";

    fs::remove_all(supplies / "BAT0");
    EXPECT_FALSE(stats.battery()) << "the battery is gone";

    // A battery listed while its driver is still adding its files.
    fs::create_directory(supplies / "BAT1");
    writeFile(supplies / "BAT1/type", "Battery");
    EXPECT_FALSE(stats.battery()) << "no charge yet";
    writeFile(supplies / "BAT1/energy_now", "10");
    writeFile(supplies / "BAT1/energy_full", "40");
    EXPECT_EQ(stats.battery(), (BatteryInfo{25, false, false, std::nullopt})) << "all its files";
}

TEST(LinuxStatsSource, MissingTree) {
    LinuxStatsSource source(fixture("does-not-exist"));
    EXPECT_FALSE(source.cpuTicks());
    EXPECT_FALSE(source.memoryFigures());
    EXPECT_FALSE(source.rootVolumeCapacity());
    EXPECT_TRUE(source.powerSources().empty());
}

TEST(LinuxStatsSource, VolumeCapacityOfTheFixtureVolume) {
    const auto capacity = LinuxStatsSource(fixture("discharging")).rootVolumeCapacity();
    ASSERT_TRUE(capacity);
    EXPECT_GT(capacity->total, 0);
    EXPECT_GE(capacity->available, 0);
    EXPECT_LE(capacity->available, capacity->total);
}

// Parsers

TEST(ProcStats, CpuLineNeedsFourNumbersAndTakesUpToEight) {
    struct Case {
        std::string_view text;
        std::optional<CpuTicks> ticks;
    };
    const Case cases[] = {
        // an old kernel's four columns
        {"cpu  1 2 3 4\n", CpuTicks{.user = 1, .system = 3, .idle = 4, .nice = 2}},
        {"cpu 1 2 3 4 5 6",
         CpuTicks{.user = 1, .system = 3, .idle = 4, .nice = 2, .ioWait = 5, .interrupts = 6}},
        // irq and softirq add up; the guest columns are already part of user and nice
        {"cpu  1 2 3 4 5 6 7 8 9 10\ncpu0 1 1 1 1 1 1 1 1 1 1\n", CpuTicks{.user = 1,
                                                                           .system = 3,
                                                                           .idle = 4,
                                                                           .nice = 2,
                                                                           .ioWait = 5,
                                                                           .interrupts = 13,
                                                                           .steal = 8}},
        {"cpu  1 2 3\ncpu0 4 5 6 7\n", std::nullopt},
        {"cpu0 1 2 3 4\n", std::nullopt},
        {"cpu  1 2 -3 4\n", std::nullopt},
        {"cpu  1 2 3 4x\n", std::nullopt},
        {"cpu  1 2 3 4 5 6 7 8x\n", std::nullopt},
        {"cpu  1 2 3 99999999999999999999999\n", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [text, ticks] : cases) {
        EXPECT_EQ(LinuxStats::parseCpuTicks(text), ticks) << text;
    }
}

TEST(ProcStats, MemInfoNeedsBothLinesInOrder) {
    using LinuxStats::parseMemInfo;
    const auto figures = parseMemInfo("MemTotal: 100 kB\nMemFree: 10 kB\nMemAvailable: 40 kB\n");
    ASSERT_TRUE(figures);
    EXPECT_EQ(memoryUsage(*figures), (MemoryUsage{60 * 1024, 100 * 1024}));

    EXPECT_FALSE(parseMemInfo("MemTotal: 100 kB\n"));
    EXPECT_FALSE(parseMemInfo("MemTotal: 100 kB\nMemAvailable: 140 kB\n"));
    EXPECT_FALSE(parseMemInfo("MemTotal: 100 kB\nMemAvailable: lots kB\n"));
    // "MemTotalX" is another key
    EXPECT_FALSE(parseMemInfo("MemTotalX: 100 kB\nMemAvailable: 40 kB\n"));
}

// Interface list

class InterfaceList : public testing::Test {
protected:
    /// Appends an entry with an IPv4 address (or none when `text` is empty).
    void addIPv4(const char* name, const char* text, unsigned flags) {
        auto& address = v4.emplace_back(std::make_unique<sockaddr_in>());
        address->sin_family = AF_INET;
        ::inet_pton(AF_INET, text, &address->sin_addr);
        append(name, reinterpret_cast<sockaddr*>(address.get()), flags);
    }
    void addIPv6(const char* name, const char* text, unsigned flags) {
        auto& address = v6.emplace_back(std::make_unique<sockaddr_in6>());
        address->sin6_family = AF_INET6;
        ::inet_pton(AF_INET6, text, &address->sin6_addr);
        append(name, reinterpret_cast<sockaddr*>(address.get()), flags);
    }
    void addWithoutAddress(const char* name, unsigned flags) { append(name, nullptr, flags); }

    void append(const char* name, sockaddr* address, unsigned flags) {
        auto& entry = entries.emplace_back(std::make_unique<ifaddrs>());
        entry->ifa_name = const_cast<char*>(name);
        entry->ifa_flags = flags;
        entry->ifa_addr = address;
        if (entries.size() > 1) {
            entries[entries.size() - 2]->ifa_next = entry.get();
        }
    }
    [[nodiscard]] const ifaddrs* list() const {
        return entries.empty() ? nullptr : entries.front().get();
    }

    std::vector<std::unique_ptr<sockaddr_in>> v4;
    std::vector<std::unique_ptr<sockaddr_in6>> v6;
    std::vector<std::unique_ptr<ifaddrs>> entries;
};

TEST_F(InterfaceList, KeepsOrderFlagsAndNumericText) {
    addIPv4("lo", "127.0.0.1", IFF_UP | IFF_LOOPBACK);
    addWithoutAddress("wg0", IFF_UP);
    addIPv4("tun0", "10.8.0.2", IFF_UP);
    addIPv6("wlp2s0", "2001:db8::7", IFF_UP);
    addIPv4("wlp2s0", "192.168.1.7", IFF_UP);
    addIPv4("eth1", "192.168.2.9", 0);

    const auto addresses = LinuxStats::interfaceAddressesFrom(list());
    ASSERT_EQ(addresses.size(), 5u);
    EXPECT_EQ(addresses[0].name, "lo");
    EXPECT_TRUE(addresses[0].isLoopback);
    EXPECT_EQ(addresses[1].address, "10.8.0.2");
    EXPECT_EQ(addresses[2].family, InterfaceAddress::Family::IPv6);
    EXPECT_EQ(addresses[2].address, "2001:db8::7");
    EXPECT_FALSE(addresses[4].isUp);

    EXPECT_EQ(localIPv4(addresses, LinuxStatsSource("/").preferredInterfacePrefixes()),
              "192.168.1.7");
    EXPECT_EQ(localIPv4(addresses), "10.8.0.2");
}

// This machine

TEST(LinuxStatsSourceOnThisMachine, GivesSaneFigures) {
    LinuxStatsSource source("/");
    SystemStats stats(source);
    const auto first = source.cpuTicks();
    ASSERT_TRUE(first);
    EXPECT_GT(std::uint64_t{first->user} + first->system + first->idle + first->nice, 0u);

    const auto memory = stats.memory();
    ASSERT_TRUE(memory);
    EXPECT_GT(memory->used, 0u);
    EXPECT_LT(memory->used, memory->total);
    EXPECT_GE(memory->total, 64ull << 20);

    const auto disk = stats.disk();
    ASSERT_TRUE(disk);
    EXPECT_GT(disk->total, 0);
    EXPECT_LE(disk->free, disk->total);

    if (const auto battery = stats.battery()) {
        EXPECT_GE(battery->percent, 0);
    }
    // A loopback interface always exists.
    const auto addresses = source.interfaceAddresses();
    EXPECT_TRUE(std::any_of(addresses.begin(), addresses.end(),
                            [](const InterfaceAddress& a) { return a.address == "127.0.0.1"; }));
    if (const auto address = stats.localIP()) {
        EXPECT_NE(*address, "127.0.0.1");
        EXPECT_EQ(std::count(address->begin(), address->end(), '.'), 3);
    }
}

/// Sets the loopback interface of this process's network up or down.
bool setLoopbackUp(bool up) {
    const UniqueFd socket(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    if (::ioctl(socket.get(), SIOCGIFFLAGS, &request) != 0) {
        return false;
    }
    request.ifr_flags =
        static_cast<short>(up ? request.ifr_flags | IFF_UP : request.ifr_flags & ~IFF_UP);
    return ::ioctl(socket.get(), SIOCSIFFLAGS, &request) == 0;
}

/// "up", "down" or "none": what the source says of the loopback's IPv4 address.
std::string loopbackAddress(LinuxStatsSource& source) {
    for (const InterfaceAddress& address : source.interfaceAddresses()) {
        if (address.address == "127.0.0.1") {
            return address.isUp ? "up" : "down";
        }
    }
    return "none";
}

TEST(LinuxStatsSourceInANetworkOfItsOwn, AddressesFollowTheKernelsNotices) {
    // A child process in a network of its own, where the loopback starts down and without
    // addresses; it writes what the source said after each step to a pipe.
    std::array<int, 2> pipe{};
    ASSERT_EQ(::pipe(pipe.data()), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipe[0]);
        if (::unshare(CLONE_NEWNET) != 0 && ::unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0) {
            ::_exit(2);
        }
        // Without IPv6 no address leaves with the link: only the link's own notice tells.
        if (std::FILE* ipv6 = std::fopen("/proc/sys/net/ipv6/conf/all/disable_ipv6", "w")) {
            std::fputs("1", ipv6);
            std::fclose(ipv6);
        }
        LinuxStatsSource source("/");
        std::string seen = loopbackAddress(source);
        for (const bool up : {true, false}) {
            seen += setLoopbackUp(up) ? ' ' + loopbackAddress(source) : " (not set)";
        }
        ::_exit(::write(pipe[1], seen.data(), seen.size()) == static_cast<ssize_t>(seen.size())
                    ? 0
                    : 1);
    }
    ::close(pipe[1]);
    std::string seen(64, '\0');
    const ssize_t length = ::read(pipe[0], seen.data(), seen.size());
    ::close(pipe[0]);
    seen.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 2) {
        GTEST_SKIP() << "this machine gives no process a network of its own";
    }
    EXPECT_EQ(seen, "none up down");
}

} // namespace
} // namespace vigilo
