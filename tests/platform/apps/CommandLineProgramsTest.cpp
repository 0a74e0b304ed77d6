#include "../TempFolder.h"
#include "EventLoop.h"
#include "platform/linux/LinuxWorkspace.h"

#include <QProcess>
#include <gtest/gtest.h>
#include <unistd.h>

namespace vigilo {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using Ids = std::set<std::string>;

const std::string sessionScope = "0::/user.slice/user-1000.slice/session-2.scope\n";

struct Process {
    std::string comm;
    /// Where exe points; empty for none (a kernel thread, a process that ended).
    std::string exe;
    /// Arguments separated by NUL, as /proc gives them.
    std::string cmdline;
    std::string cgroup = sessionScope;
};

void writeProcess(const fs::path& proc, const std::string& pid, const Process& process) {
    const auto folder = proc / pid;
    fs::create_directories(folder);
    writeFile(folder / "comm", process.comm + "\n");
    writeFile(folder / "cmdline", process.cmdline);
    writeFile(folder / "cgroup", process.cgroup);
    if (!process.exe.empty()) {
        fs::create_symlink(process.exe, folder / "exe");
    }
}

LinuxWorkspace workspaceOver(const fs::path& proc) {
    return LinuxWorkspace(proc, getuid(), {}, QDBusConnection(QStringLiteral("none")));
}

TEST(CommandLineProgramsTest, AssistantsAreFoundByProcessNameAsNativeProgramsAndScripts) {
    const std::pair<Process, Ids> cases[] = {
        // The native installer's binary is named after its version; the shell started "claude".
        {{"claude", "/home/u/.local/share/claude/versions/2.0.14", "claude\0"s},
         {"process:claude"}},
        // In a terminal whose unit names the terminal.
        {{"claude", "/home/u/.local/share/claude/versions/2.0.14", "claude\0"s,
          "0::/user.slice/user-1000.slice/user@1000.service/app.slice/"
          "app-org.kde.konsole-4242.scope\n"},
         {"org.kde.konsole", "process:claude"}},
        // A program that names its main thread: the executable's name decides.
        {{"tokio-runtime-w", "/usr/lib/node_modules/@openai/codex/vendor/codex/codex", "codex\0"s},
         {"process:codex"}},
        // #!/usr/bin/env node: node runs the script by the path the shell found.
        {{"node", "/usr/bin/node", "node\0/usr/local/bin/gemini\0--yolo\0"s}, {"process:gemini"}},
        {{"node", "/home/u/.nvm/versions/node/v22.1.0/bin/node",
          "node\0--no-warnings\0/home/u/.npm-global/bin/codex\0"s},
         {"process:codex"}},
        // A script that set its title rewrites comm and the command line.
        {{"claude", "/usr/bin/node", "claude\0\0\0\0"s}, {"process:claude"}},
        {{"node", "/usr/bin/node",
          "claude\0/usr/lib/node_modules/@anthropic-ai/claude-code/cli.js\0"s},
         {"process:claude"}},
        {{"bun", "/home/u/.bun/bin/bun", "bun\0run\0/home/u/.bun/bin/claude\0"s},
         {"process:claude"}},
        {{"python3", "/usr/bin/python3.12", "/usr/bin/python3\0-u\0/home/u/.local/bin/gemini\0"s},
         {"process:gemini"}},
        // Only the script counts, not the arguments it is given.
        {{"node", "/usr/bin/node", "node\0/usr/lib/node_modules/npm/bin/npm-cli.js\0claude\0"s},
         {}},
        // A native program's command line is not read.
        {{"vim", "/usr/bin/vim", "claude\0notes.txt\0"s}, {}},
        {{"claude-desktop", "/usr/lib/claude-desktop/claude-desktop", "claude-desktop\0"s}, {}},
        {{"claude", "", ""}, {}},
    };
    for (const auto& [process, ids] : cases) {
        const TempFolder root;
        writeProcess(root.path(), "500", process);
        EXPECT_EQ(workspaceOver(root.path()).runningApplicationIDs(), ids)
            << process.comm << " " << process.exe;
    }

    const TempFolder root;
    writeProcess(root.path(), "500", cases[0].first);
    const LinuxProcessApps otherUser(root.path(), getuid() + 1, {"claude"});
    EXPECT_TRUE(otherUser.runningApplicationIDs(LinuxApplicationIndex({})).empty());
}

TEST(CommandLineProgramsTest, AScriptThatPythonRunsOnThisMachineIsFoundByItsName) {
    const TempFolder folder;
    const auto script = folder.path() / "gemini";
    writeFile(script, "import sys\nsys.stdin.read()\n");
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), {QString::fromStdString(script.string())});
    ASSERT_TRUE(python.waitForStarted(5000));

    const auto workspace = workspaceOver("/proc");
    EXPECT_TRUE(testing::runEventsUntil(
        [&] { return workspace.runningApplicationIDs().contains("process:gemini"); }, 5000));
    python.closeWriteChannel();
    EXPECT_TRUE(python.waitForFinished(5000));
}

} // namespace
} // namespace vigilo
