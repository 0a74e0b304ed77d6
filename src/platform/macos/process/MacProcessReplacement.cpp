#include "platform/PlatformServices.h"

#include <csignal>
#include <spawn.h>
#include <string>

extern char** environ;

namespace vigilo {

void replaceProcessWith(const std::filesystem::path& program) {
    // Apple's spawn flags do in one call what Linux does by hand before execv: replace this
    // process (SETEXEC), pass no descriptor but the standard three (CLOEXEC_DEFAULT and the
    // inherit actions), and start with no signal blocked or ignored.
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_t actions;
    if (posix_spawnattr_init(&attributes) != 0) {
        return;
    }
    if (posix_spawn_file_actions_init(&actions) != 0) {
        posix_spawnattr_destroy(&attributes);
        return;
    }
    sigset_t none;
    sigemptyset(&none);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETEXEC | POSIX_SPAWN_CLOEXEC_DEFAULT |
                                              POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    for (int fd = 0; fd <= 2; ++fd) {
        posix_spawn_file_actions_addinherit_np(&actions, fd);
    }
    const std::string path = program.string();
    char* arguments[] = {const_cast<char*>(path.c_str()), nullptr};
    pid_t ignored = 0;
    posix_spawn(&ignored, path.c_str(), &actions, &attributes, arguments, environ);
    // Only a failure returns.
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
}

} // namespace vigilo
