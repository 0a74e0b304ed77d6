// The cost of one look at the running applications on this machine: the /proc scan that the
// watcher does on every change notice, and the observation every two seconds.
#include "model/RunningAppsWatcher.h"
#include "platform/linux/apps/LinuxWorkspace.h"
#include "platform/linux/apps/LinuxXdgDataDirs.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

namespace {

void BM_RunningApplicationsOnThisMachine(benchmark::State& state) {
    const vigilo::LinuxWorkspace workspace(
        "/proc", ::getuid(), vigilo::RunningAppsWatcher::builtInProcessNames(),
        vigilo::xdgApplicationFolders(), {}, QDBusConnection(QString()));
    for (auto _ : state) {
        benchmark::DoNotOptimize(workspace.runningApplicationIDs());
    }
}
BENCHMARK(BM_RunningApplicationsOnThisMachine)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
