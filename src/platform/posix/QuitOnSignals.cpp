#include "platform/posix/QuitOnSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace vigilo {

namespace {

constexpr std::array quitSignals{SIGTERM, SIGHUP, SIGINT};

// Written by the signal handler, read by the event loop: a handler may only do
// async-signal-safe work, and write() is.
std::array<int, 2> pipeEnds{-1, -1};

extern "C" void onQuitSignal(int signal) {
    const int savedErrno = errno;
    const char byte = char(signal);
    [[maybe_unused]] const auto written = ::write(pipeEnds[1], &byte, 1);
    errno = savedErrno;
}

void setHandler(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : quitSignals) {
        ::sigaction(signal, &action, nullptr);
    }
}

} // namespace

QuitOnSignals::QuitOnSignals(QObject* parent)
    : QObject(parent) {
    // pipe() and fcntl() rather than pipe2(), which macOS lacks; nothing else runs yet.
    const auto closeOnExecNonBlocking = [](int fd) {
        return ::fcntl(fd, F_SETFD, FD_CLOEXEC) == 0 &&
               ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK) == 0;
    };
    if (::pipe(pipeEnds.data()) != 0 || !closeOnExecNonBlocking(pipeEnds[0]) ||
        !closeOnExecNonBlocking(pipeEnds[1])) {
        qWarning("vigilo: no pipe for quit signals; SIGTERM ends the process without clean-up");
        return;
    }
    notifier_ = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [] {
        std::array<char, 16> drained{};
        while (::read(pipeEnds[0], drained.data(), drained.size()) > 0) {
        }
        QCoreApplication::quit();
    });
    setHandler(onQuitSignal);
}

QuitOnSignals::~QuitOnSignals() {
    if (notifier_ == nullptr) {
        return;
    }
    setHandler(SIG_DFL);
    delete notifier_;
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
}

} // namespace vigilo
