// The longest stall of the main event loop while the real program keeps the computer awake.
//
// Starts the application as main() does (the platform's adapters, the delegate, finishLaunching),
// with closed-lid mode granted and keep-awake switched on, then lets a 1 ms precise timer probe
// the event loop: the worst lateness of its firings is the longest time the loop could not
// answer anything, a click or the command line. On a busy machine part of a stall is only the
// wait for a free CPU (the kernel's run delay, /proc/thread-self/schedstat): the figure without
// it is closer to the program's own, and the time the main thread ran within one probe interval
// is its longest piece of work, whatever the machine does. Run it under a desktop session,
// usually through bench/app/stall.sh.
//
// Usage: vigilo_stall_bench [seconds]        (default 60)
#include "app/AppDelegate.h"
#include "platform/PlatformServices.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <unistd.h>
#include <vector>

using namespace vigilo;

namespace {

/// Passes reads on to the real source and counts them.
class CountingPowerSettings final : public PowerSettingsSource {
public:
    explicit CountingPowerSettings(std::unique_ptr<PowerSettingsSource> source)
        : source_(std::move(source)) {}

    void read(std::function<void(PowerValues)> done) override {
        ++reads;
        source_->read(std::move(done));
    }

    int reads = 0;

private:
    std::unique_ptr<PowerSettingsSource> source_;
};

struct Stall {
    double atSeconds;
    double lateMs;
    /// Of that, the time the main thread ran on a CPU, and the time it waited for one.
    double runMs;
    double runDelayMs;
    [[nodiscard]] double ownMs() const { return lateMs - runDelayMs; }
};

/// The calling thread's scheduling so far, in nanoseconds, from /proc/thread-self/schedstat;
/// zeros when the kernel does not keep it.
class Schedule {
public:
    struct Times {
        long long running = 0;
        long long waitingForCpu = 0;
    };

    Schedule()
        : fd_(::open("/proc/thread-self/schedstat", O_RDONLY | O_CLOEXEC)) {}
    ~Schedule() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Schedule(const Schedule&) = delete;
    Schedule& operator=(const Schedule&) = delete;

    [[nodiscard]] Times now() const {
        char text[96] = {};
        if (fd_ < 0 || ::pread(fd_, text, sizeof text - 1, 0) <= 0) {
            return {};
        }
        char* end = nullptr;
        const auto running = static_cast<long long>(std::strtoull(text, &end, 10));
        return {running, static_cast<long long>(std::strtoull(end, nullptr, 10))};
    }

private:
    int fd_;
};

void printWorst(std::vector<Stall>& stalls, const char* title, double (*measure)(const Stall&)) {
    std::sort(stalls.begin(), stalls.end(),
              [measure](const Stall& a, const Stall& b) { return measure(a) > measure(b); });
    const auto overBudget = std::count_if(stalls.begin(), stalls.end(),
                                          [measure](const Stall& s) { return measure(s) > 5.0; });
    std::printf("  %s: worst %.2f ms (budget 5 ms), %ld over budget\n", title,
                stalls.empty() ? 0.0 : measure(stalls.front()), long(overBudget));
    for (std::size_t i = 0; i < std::min<std::size_t>(5, stalls.size()); ++i) {
        std::printf("    %6.2f ms late (running %5.2f ms, waiting for a CPU %5.2f ms) at %6.3f s\n",
                    stalls[i].lateMs, stalls[i].runMs, stalls[i].runDelayMs, stalls[i].atSeconds);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vigilo"));
    QApplication::setQuitOnLastWindowClosed(false);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;

    PlatformServices platform = makePlatformServices();
    auto counting = std::make_unique<CountingPowerSettings>(std::move(platform.powerSettings));
    const CountingPowerSettings& powerReads = *counting;
    platform.powerSettings = std::move(counting);
    // The closed-lid mode on: the lid is looked at on every stats tick.
    platform.defaults->set("lidModeGranted", true);

    AppDelegate delegate(platform);
    delegate.finishLaunching();
    delegate.handleControl(ControlVerb::On);

    constexpr double probeMs = 1.0;
    std::vector<Stall> stalls;
    const Schedule schedule;
    QElapsedTimer clock;
    qint64 last = 0;
    Schedule::Times lastTimes = schedule.now();
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, &app, [&] {
        const qint64 now = clock.nsecsElapsed();
        const Schedule::Times times = schedule.now();
        stalls.push_back({double(now) / 1e9, double(now - last) / 1e6 - probeMs,
                          double(times.running - lastTimes.running) / 1e6,
                          double(times.waitingForCpu - lastTimes.waitingForCpu) / 1e6});
        last = now;
        lastTimes = times;
    });
    clock.start();
    probe.start();
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    QApplication::exec();

    std::printf("main loop over %d s, keep-awake on, closed-lid mode on, %zu probe firings\n",
                seconds, stalls.size());
    printWorst(stalls, "lateness of the 1 ms probe", [](const Stall& s) { return s.lateMs; });
    printWorst(stalls, "without the waits for a CPU", [](const Stall& s) { return s.ownMs(); });
    printWorst(stalls, "work done in one go", [](const Stall& s) { return s.runMs; });
    std::printf("  power-settings reads: %d\n", powerReads.reads);
    return delegate.model().isAwake() ? 0 : 1;
}
