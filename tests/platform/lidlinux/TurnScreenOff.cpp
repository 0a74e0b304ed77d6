// Usage: vigilo_turn_screen_off (with DISPLAY and QT_QPA_PLATFORM set by the caller)
// Asks the displays adapter to switch the screen off and prints every program it ran, one
// "ran <path> <arguments…>" line each.
#include "platform/linux/LinuxDisplays.h"
#include "platform/linux/PosixProcessRunner.h"

#include <QGuiApplication>
#include <cstdio>

namespace {

class PrintingProcessRunner final : public vigilo::ProcessRunner {
public:
    [[nodiscard]] std::optional<vigilo::ProcessResult>
    run(const std::string& path, const std::vector<std::string>& arguments) override {
        print(path, arguments);
        return runner_.run(path, arguments);
    }
    [[nodiscard]] std::optional<vigilo::ProcessResult>
    runWithin(const std::string& path, const std::vector<std::string>& arguments,
              const vigilo::RunLimit& limit) override {
        print(path, arguments);
        return runner_.runWithin(path, arguments, limit);
    }

private:
    static void print(const std::string& path, const std::vector<std::string>& arguments) {
        std::string line = "ran " + path;
        for (const std::string& argument : arguments) {
            line += ' ' + argument;
        }
        std::puts(line.c_str());
    }

    vigilo::PosixProcessRunner runner_;
};

} // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    PrintingProcessRunner processes;
    vigilo::LinuxDisplays(processes).turnScreenOff();
    std::fflush(stdout);
    return 0;
}
