#pragma once

#include "ports/Desktop.h"
#include "ports/HttpGet.h"
#include "ports/Scheduler.h"
#include "ports/StatsSource.h"
#include "system/SystemStats.h"
#include "util/Signal.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vigilo {

/// The figures of the metrics row: CPU load with its history, memory, disk, battery, the local
/// address, and the public address looked up on demand. Main thread only.
class Metrics {
public:
    /// CPU samples kept for the history line: one minute at one sample per 2-second tick.
    static constexpr std::size_t cpuHistoryLength = 30;

    /// Everything must outlive the metrics.
    struct Services {
        StatsSource& stats;
        HttpGet& http;
        Desktop& desktop;
        Scheduler& scheduler;
    };

    /// Primes the CPU counters, so the first sample already has a load.
    explicit Metrics(Services services);

    /// Told after every published change.
    [[nodiscard]] const Signal<>& changed() const { return changed_; }

    /// Samples every figure. Runs on every stats tick.
    void sample();

    /// CPU load samples, 0..1, oldest first; at most `cpuHistoryLength`.
    [[nodiscard]] const std::vector<double>& cpuHistory() const { return cpuHistory_; }
    [[nodiscard]] const std::optional<MemoryUsage>& memory() const { return memory_; }
    [[nodiscard]] const std::optional<DiskSpace>& disk() const { return disk_; }
    [[nodiscard]] const std::optional<BatteryInfo>& battery() const { return battery_; }
    [[nodiscard]] const std::optional<std::string>& localIP() const { return localIP_; }
    [[nodiscard]] const std::optional<std::string>& externalIP() const { return externalIP_; }
    [[nodiscard]] bool isFetchingExternalIP() const { return isFetchingExternalIP_; }
    [[nodiscard]] bool didExternalIPFail() const { return didExternalIPFail_; }
    /// The address just copied, for one second.
    [[nodiscard]] const std::optional<std::string>& copiedIP() const { return copiedIP_; }

    /// Looks the public address up once; a request already running is not repeated.
    void fetchExternalIP();
    /// Copies an address to the clipboard and marks it copied for one second.
    void copyIP(const std::string& address);

private:
    SystemStats stats_;
    HttpGet& http_;
    Desktop& desktop_;
    Scheduler& scheduler_;
    Signal<> changed_;
    /// Late callbacks (a lookup, a delayed clear) check this to know the metrics still exist.
    std::shared_ptr<int> lifetime_ = std::make_shared<int>();

    std::vector<double> cpuHistory_;
    std::optional<MemoryUsage> memory_;
    std::optional<DiskSpace> disk_;
    std::optional<BatteryInfo> battery_;
    std::optional<std::string> localIP_;
    std::optional<std::string> externalIP_;
    bool isFetchingExternalIP_ = false;
    bool didExternalIPFail_ = false;
    std::optional<std::string> copiedIP_;
};

} // namespace vigilo
