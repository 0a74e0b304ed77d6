#include "platform/PlatformServices.h"

#include <array>
#include <csignal>
#include <unistd.h>

namespace vigilo {

void replaceProcessWith(const std::filesystem::path& program) {
    // Whatever this process blocked or ignored would otherwise carry over into the new program,
    // and so would any descriptor a library opened without close-on-exec (a lock among them).
    sigset_t noSignals;
    sigemptyset(&noSignals);
    ::pthread_sigmask(SIG_SETMASK, &noSignals, nullptr);
    std::signal(SIGPIPE, SIG_DFL);
    ::closefrom(STDERR_FILENO + 1);
    const std::string path = program.string();
    const std::array<char*, 2> arguments{const_cast<char*>(path.c_str()), nullptr};
    ::execv(path.c_str(), arguments.data());
}

} // namespace vigilo
