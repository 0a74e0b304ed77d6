// The longest piece of work on the main thread, and the longest stall of its event loop, while
// the real program keeps the computer awake.
//
// Starts the application as main() does (the platform's adapters, the delegate, finishLaunching),
// with closed-lid mode granted and keep-awake switched on; the virtual screen passes for a
// laptop's own panel, so that a closed lid (stall.sh closes it for the middle third of the run)
// turns it off through the real adapter.
//
// Every event the main thread delivers is measured: its thread CPU time is the program's own work,
// whatever the machine does meanwhile (a busy machine keeps the thread waiting for a CPU, a
// virtual machine's CPU stops now and then); the waits in which the thread blocked (voluntary
// context switches) are what a blocking call costs. The steps of the start, before the event loop
// runs, are measured alike; the work the start leaves to the loop's first turns is measured as
// events. Besides, a 1 ms precise timer probes the loop: the worst lateness of
// its firings is the longest time the loop could not answer anything, a click or the command
// line, on this machine, waits included. Run it under a desktop session, usually through
// bench/app/stall.sh.
//
// Usage: vigilo_stall_bench [seconds]        (default 60)
#include "app/AppDelegate.h"
#include "app/PanelLibrary.h"
#include "platform/PlatformServices.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMetaEnum>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace vigilo;

namespace {

constexpr double budgetMs = 5.0;

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

/// Xvfb's screen is no laptop panel; here it passes for one, so that a closed lid turns it off
/// through the real adapter.
class BuiltInPanelDisplays final : public Displays {
public:
    explicit BuiltInPanelDisplays(std::unique_ptr<Displays> displays)
        : displays_(std::move(displays)) {}

    [[nodiscard]] bool hasExternalDisplay() const override { return false; }
    void turnScreenOff() override {
        ++turnedOff;
        displays_->turnScreenOff();
    }

    int turnedOff = 0;

private:
    std::unique_ptr<Displays> displays_;
};

long long nanoseconds(clockid_t clock) {
    timespec now{};
    ::clock_gettime(clock, &now);
    return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

/// What a stretch of the calling thread's life cost.
struct Cost {
    double wallMs = 0;
    /// The time it ran on a CPU: its own work.
    double cpuMs = 0;
    /// The times it blocked, waiting for something (a reply, a lock, a child process).
    long blocks = 0;
};

/// The calling thread's clocks at one moment.
class Meter {
public:
    Meter()
        : wall_(nanoseconds(CLOCK_MONOTONIC))
        , cpu_(nanoseconds(CLOCK_THREAD_CPUTIME_ID))
        , blocks_(voluntarySwitches()) {}

    /// What the thread spent since this meter was made.
    [[nodiscard]] Cost elapsed() const {
        return {.wallMs = double(nanoseconds(CLOCK_MONOTONIC) - wall_) / 1e6,
                .cpuMs = double(nanoseconds(CLOCK_THREAD_CPUTIME_ID) - cpu_) / 1e6,
                .blocks = voluntarySwitches() - blocks_};
    }

private:
    static long voluntarySwitches() {
        rusage usage{};
        ::getrusage(RUSAGE_THREAD, &usage);
        return usage.ru_nvcsw;
    }

    long long wall_;
    long long cpu_;
    long blocks_;
};

/// One piece of work: an event or a step of the start.
struct Piece {
    Cost cost;
    std::string what;
    double atSeconds = 0;
};

/// Keeps the pieces worth a look (the others only count) and prints the worst.
class Pieces {
public:
    void add(const Cost& cost, const std::function<std::string()>& what, double atSeconds) {
        ++count_;
        if (cost.cpuMs >= 0.5 || cost.wallMs >= 0.5) {
            kept_.push_back({cost, what(), atSeconds});
        }
    }

    /// The five worst by `measure`, among the pieces `counts` takes.
    void printWorst(const char* title, double (*measure)(const Piece&),
                    bool (*counts)(const Piece&) = nullptr) {
        std::vector<Piece> chosen;
        std::copy_if(kept_.begin(), kept_.end(), std::back_inserter(chosen),
                     [counts](const Piece& piece) { return counts == nullptr || counts(piece); });
        std::sort(chosen.begin(), chosen.end(),
                  [measure](const Piece& a, const Piece& b) { return measure(a) > measure(b); });
        const auto overBudget =
            std::count_if(chosen.begin(), chosen.end(),
                          [measure](const Piece& p) { return measure(p) > budgetMs; });
        std::printf("  %s: worst %.2f ms (budget %.0f ms), %ld over budget, of %ld\n", title,
                    chosen.empty() ? 0.0 : measure(chosen.front()), budgetMs, long(overBudget),
                    count_);
        for (std::size_t i = 0; i < std::min<std::size_t>(5, chosen.size()); ++i) {
            const Piece& piece = chosen[i];
            std::printf("    cpu %6.2f ms, wall %7.2f ms, blocked %ld× at %7.3f s: %s\n",
                        piece.cost.cpuMs, piece.cost.wallMs, piece.cost.blocks, piece.atSeconds,
                        piece.what.c_str());
        }
    }

private:
    long count_ = 0;
    std::vector<Piece> kept_;
};

/// What an event went to, told apart as far as the object lets: its class, name and parent, and
/// for a timer its interval.
class Receiver {
public:
    explicit Receiver(const QObject& object)
        : className_(object.metaObject()->className())
        , name_(object.objectName())
        , parentClassName_(object.parent() != nullptr ? object.parent()->metaObject()->className()
                                                      : nullptr) {
        if (const auto* timer = qobject_cast<const QTimer*>(&object)) {
            timerInterval_ = timer->interval();
        }
    }

    [[nodiscard]] std::string describe() const {
        std::string text = className_;
        if (!name_.isEmpty()) {
            text += " \"" + name_.toStdString() + '"';
        }
        if (timerInterval_) {
            text += " every " + std::to_string(*timerInterval_) + " ms";
        }
        if (parentClassName_ != nullptr) {
            text += std::string(" (child of ") + parentClassName_ + ')';
        }
        return text;
    }

private:
    // Class names live as long as the program.
    const char* className_;
    QString name_;
    const char* parentClassName_;
    std::optional<int> timerInterval_;
};

/// Measures every event it delivers on the main thread (the outermost one when events nest).
class MeasuredApplication final : public QApplication {
public:
    MeasuredApplication(int& argc, char** argv)
        : QApplication(argc, argv) {
        clock.start();
    }

    bool notify(QObject* receiver, QEvent* event) override {
        if (QThread::currentThread() != thread() || !measuring_ || depth_ > 0) {
            return QApplication::notify(receiver, event);
        }
        // Read now: the event and its receiver may be gone when it returns.
        const QEvent::Type type = event->type();
        const Receiver target(*receiver);
        const Meter meter;
        ++depth_;
        const bool handled = QApplication::notify(receiver, event);
        --depth_;
        events.add(
            meter.elapsed(),
            [&] {
                const char* typeName = QMetaEnum::fromType<QEvent::Type>().valueToKey(type);
                return (typeName != nullptr ? typeName : std::to_string(int(type))) + " to " +
                       target.describe();
            },
            seconds());
        return handled;
    }

    /// Measures the events from now on.
    void startMeasuring() { measuring_ = true; }
    /// Since the application was made.
    [[nodiscard]] double seconds() const { return double(clock.nsecsElapsed()) / 1e9; }

    QElapsedTimer clock;
    Pieces events;

private:
    bool measuring_ = false;
    int depth_ = 0;
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
    const auto overBudget = std::count_if(
        stalls.begin(), stalls.end(), [measure](const Stall& s) { return measure(s) > budgetMs; });
    std::printf("  %s: worst %.2f ms (budget 5 ms), %ld over budget\n", title,
                stalls.empty() ? 0.0 : measure(stalls.front()), long(overBudget));
    for (std::size_t i = 0; i < std::min<std::size_t>(5, stalls.size()); ++i) {
        std::printf("    %6.2f ms late (running %5.2f ms, waiting for a CPU %5.2f ms) at %6.3f s\n",
                    stalls[i].lateMs, stalls[i].runMs, stalls[i].runDelayMs, stalls[i].atSeconds);
    }
}

} // namespace

int main(int argc, char** argv) {
    MeasuredApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vigilo"));
    QApplication::setQuitOnLastWindowClosed(false);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;

    Pieces start;
    const auto step = [&start, &app](const char* name, const std::function<void()>& work) {
        const Meter meter;
        work();
        start.add(
            meter.elapsed(), [name] { return std::string(name); }, app.seconds());
    };
    PlatformServices platform;
    step("makePlatformServices", [&platform] { platform = makePlatformServices(); });
    auto counting = std::make_unique<CountingPowerSettings>(std::move(platform.powerSettings));
    const CountingPowerSettings& powerReads = *counting;
    platform.powerSettings = std::move(counting);
    auto panel = std::make_unique<BuiltInPanelDisplays>(std::move(platform.displays));
    const BuiltInPanelDisplays& displays = *panel;
    platform.displays = std::move(panel);
    // The closed-lid mode on: the lid is looked at on every stats tick.
    platform.defaults->set("lidModeGranted", true);

    PanelLibrary panels(QStringLiteral(VIGILO_PANEL_LIBRARY_FILE));
    std::unique_ptr<AppDelegate> delegate;
    step("AppDelegate", [&] { delegate = std::make_unique<AppDelegate>(platform, panels); });
    step("finishLaunching", [&] { delegate->finishLaunching(); });
    step("keep-awake on", [&] { delegate->handleControl(ControlVerb::On); });

    // The events sent within the steps above are part of them.
    app.startMeasuring();
    constexpr double probeMs = 1.0;
    std::vector<Stall> stalls;
    // Room for every firing: growing the vector would be the probe's own multi-millisecond work.
    stalls.reserve(static_cast<std::size_t>(seconds) * 1100);
    const Schedule schedule;
    qint64 last = app.clock.nsecsElapsed();
    Schedule::Times lastTimes = schedule.now();
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, &app, [&] {
        const qint64 now = app.clock.nsecsElapsed();
        const Schedule::Times times = schedule.now();
        stalls.push_back({double(now) / 1e9, double(now - last) / 1e6 - probeMs,
                          double(times.running - lastTimes.running) / 1e6,
                          double(times.waitingForCpu - lastTimes.waitingForCpu) / 1e6});
        last = now;
        lastTimes = times;
    });
    probe.start();
    // Looked at before quitting: the program lets the computer sleep again as it quits.
    bool awake = false;
    QTimer::singleShot(seconds * 1000, &app, [&] {
        awake = delegate->model().isAwake();
        QCoreApplication::quit();
    });
    QApplication::exec();

    std::printf("main thread over %d s, keep-awake on, closed-lid mode on, %zu probe firings\n",
                seconds, stalls.size());
    const auto cpu = [](const Piece& piece) { return piece.cost.cpuMs; };
    const auto wall = [](const Piece& piece) { return piece.cost.wallMs; };
    const auto blocked = [](const Piece& piece) { return piece.cost.blocks > 0; };
    start.printWorst("steps of the start, by thread CPU time", cpu);
    start.printWorst("steps of the start that blocked the thread, by wall time", wall, blocked);
    app.events.printWorst("events, by thread CPU time", cpu);
    app.events.printWorst("events that blocked the thread, by wall time", wall, blocked);
    printWorst(stalls, "lateness of the 1 ms probe", [](const Stall& s) { return s.lateMs; });
    printWorst(stalls, "without the waits for a CPU", [](const Stall& s) { return s.ownMs(); });
    std::printf("  power-settings reads: %d, screen turned off: %d×, still awake at the end: %s\n",
                powerReads.reads, displays.turnedOff, awake ? "yes" : "no");
    return awake ? 0 : 1;
}
