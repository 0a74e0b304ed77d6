// Usage: vigilo_turn_screen_off [STAND-IN [--leave-while-running]]
//        (with DISPLAY and QT_QPA_PLATFORM set by the caller)
// Asks the displays adapter to switch the screen off, waits for the program it ran to end, then
// destroys the adapter. Prints every program it ran, one "ran <path> <arguments…>" line each,
// then how that run ended ("finished", "timed out" or "stopped" when the adapter stopped it),
// and "left" once the adapter is gone. STAND-IN runs in place of every program asked for; with
// --leave-while-running the adapter is destroyed as soon as its run has started.
#include "platform/linux/power/LinuxDisplays.h"
#include "platform/linux/process/PosixProcessRunner.h"

#include <QGuiApplication>
#include <condition_variable>
#include <cstdio>
#include <mutex>

namespace {

class PrintingProcessRunner final : public vigilo::ProcessRunner {
public:
    explicit PrintingProcessRunner(std::string standIn)
        : standIn_(std::move(standIn)) {}

    [[nodiscard]] std::optional<vigilo::ProcessResult>
    run(const std::string& path, const std::vector<std::string>& arguments) override {
        print(path, arguments);
        return runner_.run(standIn_.empty() ? path : standIn_, arguments);
    }
    [[nodiscard]] std::optional<vigilo::ProcessResult>
    runWithin(const std::string& path, const std::vector<std::string>& arguments,
              const vigilo::RunLimit& limit) override {
        print(path, arguments);
        tell(started_);
        auto result = runner_.runWithin(standIn_.empty() ? path : standIn_, arguments, limit);
        std::puts(!result || !result->killed    ? "finished"
                  : limit.stop.stop_requested() ? "stopped"
                                                : "timed out");
        tell(ended_);
        return result;
    }

    void waitUntilStarted() { waitFor(started_); }
    void waitUntilEnded() { waitFor(ended_); }

private:
    static void print(const std::string& path, const std::vector<std::string>& arguments) {
        std::string line = "ran " + path;
        for (const std::string& argument : arguments) {
            line += ' ' + argument;
        }
        std::puts(line.c_str());
    }
    void tell(bool& happened) {
        const std::scoped_lock lock(mutex_);
        happened = true;
        changed_.notify_all();
    }
    void waitFor(const bool& happened) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&happened] { return happened; });
    }

    std::string standIn_;
    vigilo::PosixProcessRunner runner_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool started_ = false;
    bool ended_ = false;
};

} // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    PrintingProcessRunner processes(arguments.size() > 1 ? arguments[1].toStdString() : "");
    const bool leaveWhileRunning = arguments.contains(QStringLiteral("--leave-while-running"));
    {
        vigilo::LinuxDisplays displays(processes);
        displays.turnScreenOff();
        if (leaveWhileRunning) {
            processes.waitUntilStarted();
        } else {
            processes.waitUntilEnded();
        }
    }
    std::puts("left");
    std::fflush(stdout);
    return 0;
}
