#include "platform/linux/stats/LinuxStatsSource.h"
#include "system/SystemStats.h"

#include <benchmark/benchmark.h>

namespace vigilo {
namespace {

/// Everything one stats tick reads.
void sampleEverything(SystemStats& stats) {
    stats.sampleCPU();
    benchmark::DoNotOptimize(stats.cpuUsage());
    benchmark::DoNotOptimize(stats.memory());
    benchmark::DoNotOptimize(stats.disk());
    benchmark::DoNotOptimize(stats.battery());
    benchmark::DoNotOptimize(stats.localIP());
}

void BM_StatsTickOnThisMachine(benchmark::State& state) {
    LinuxStatsSource source("/");
    SystemStats stats(source);
    for (auto _ : state) {
        sampleEverything(stats);
    }
}
BENCHMARK(BM_StatsTickOnThisMachine)->Unit(benchmark::kMicrosecond);

// This machine may have no battery; a laptop's tree shows the cost of reading one.
void BM_StatsTickOnLaptopTree(benchmark::State& state) {
    LinuxStatsSource source(VIGILO_LAPTOP_TREE);
    SystemStats stats(source);
    for (auto _ : state) {
        sampleEverything(stats);
    }
}
BENCHMARK(BM_StatsTickOnLaptopTree)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace vigilo

BENCHMARK_MAIN();
