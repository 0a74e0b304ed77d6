// The cost of looking at the running applications on this machine: the listing of /proc that
// every heartbeat takes on the main thread, a look at a listing that did not change, and the
// first look, which reads every process (the observation takes it on its own thread).
#include "model/RunningAppsWatcher.h"
#include "platform/linux/apps/LinuxProcessApps.h"
#include "platform/linux/apps/LinuxXdgDataDirs.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

namespace {

vigilo::LinuxProcessApps thisMachinesProcesses() {
    return {"/proc", ::getuid(), vigilo::RunningAppsWatcher::builtInProcessNames()};
}

void BM_ListingOfProc(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(vigilo::LinuxProcessApps::listProcesses("/proc"));
    }
}
BENCHMARK(BM_ListingOfProc)->Unit(benchmark::kMicrosecond);

void BM_LookAtAnUnchangedListing(benchmark::State& state) {
    const vigilo::LinuxApplicationIndex installed(vigilo::xdgApplicationFolders());
    const auto processes = thisMachinesProcesses();
    const auto listing = vigilo::LinuxProcessApps::listProcesses("/proc");
    benchmark::DoNotOptimize(processes.look(listing, installed));
    benchmark::DoNotOptimize(processes.look(listing, installed)); // the executables' second check
    for (auto _ : state) {
        benchmark::DoNotOptimize(processes.look(listing, installed));
    }
}
BENCHMARK(BM_LookAtAnUnchangedListing)->Unit(benchmark::kMicrosecond);

void BM_FirstLookAtEveryProcess(benchmark::State& state) {
    const vigilo::LinuxApplicationIndex installed(vigilo::xdgApplicationFolders());
    const auto processes = thisMachinesProcesses();
    for (auto _ : state) {
        processes.forgetProcesses();
        benchmark::DoNotOptimize(processes.runningApplicationIDs(installed));
    }
    state.counters["processes"] =
        static_cast<double>(vigilo::LinuxProcessApps::listProcesses("/proc").size());
}
BENCHMARK(BM_FirstLookAtEveryProcess)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
