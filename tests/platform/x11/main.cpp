// The X11 adapters' tests run against a private X server: Xvfb picks a free display and writes
// its number to a pipe, and Qt connects to it through its xcb platform.
#include <QGuiApplication>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

/// Starts Xvfb and returns its pid and display name, or a pid of -1.
std::pair<pid_t, std::string> startXvfb() {
    int fds[2];
    if (::pipe(fds) != 0) {
        return {-1, {}};
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x800x24",
                 "-nolisten", "tcp", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    std::string number;
    char c = 0;
    while (::read(fds[0], &c, 1) == 1 && c != '\n') {
        number += c;
    }
    ::close(fds[0]);
    return {number.empty() ? -1 : pid, ":" + number};
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests)) {
        return RUN_ALL_TESTS();
    }
    const auto [xvfb, display] = startXvfb();
    if (xvfb < 0) {
        std::fprintf(stderr, "x11 tests: Xvfb did not start\n");
        return 1;
    }
    ::setenv("DISPLAY", display.c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    int result = 1;
    {
        const QGuiApplication app(argc, argv);
        result = RUN_ALL_TESTS();
    }
    ::kill(xvfb, SIGTERM);
    ::waitpid(xvfb, nullptr, 0);
    return result;
}
