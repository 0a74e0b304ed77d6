#include "platform/posix/InstanceLock.h"

#include "platform/posix/PrivateFolder.h"

#include <QTemporaryDir>
#include <array>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <optional>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vigilo {
namespace {

using Outcome = InstanceLock::Outcome;

class InstanceLockTest : public ::testing::Test {
protected:
    QTemporaryDir temporary;
    std::filesystem::path folder = temporary.path().toStdString() + "/state/vigilo";
};

TEST_F(InstanceLockTest, OneHolderAtATime) {
    {
        const InstanceLock first = InstanceLock::take(folder);
        ASSERT_EQ(first.outcome(), Outcome::Held) << first.refusal();
        EXPECT_EQ(InstanceLock::take(folder).outcome(), Outcome::HeldByAnother);
    }
    EXPECT_EQ(InstanceLock::take(folder).outcome(), Outcome::Held);
}

// A program started from the tray outlives Vigilo; it must not keep the next start out.
TEST_F(InstanceLockTest, ProgramsStartedByTheHolderDoNotKeepIt) {
    std::optional<InstanceLock> held = InstanceLock::take(folder);
    ASSERT_EQ(held->outcome(), Outcome::Held);
    // The program says when it runs: only then has its start closed what it must not keep.
    std::array<int, 2> output{};
    ASSERT_EQ(::pipe2(output.data(), O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions{};
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    std::array<char*, 4> arguments{const_cast<char*>("sh"), const_cast<char*>("-c"),
                                   const_cast<char*>("echo; exec sleep 60"), nullptr};
    pid_t child = 0;
    const int spawned = ::posix_spawnp(&child, "sh", &actions, nullptr, arguments.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(output[1]);
    char byte = 0;
    const bool running = spawned == 0 && ::read(output[0], &byte, 1) == 1;
    ::close(output[0]);

    held.reset();
    EXPECT_TRUE(running);
    EXPECT_EQ(InstanceLock::take(folder).outcome(), Outcome::Held);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}

TEST_F(InstanceLockTest, AFolderOthersCanEnterIsRefusedWithItsName) {
    std::filesystem::create_directories(folder);
    ::chmod(folder.c_str(), 0755);
    const InstanceLock lock = InstanceLock::take(folder);
    EXPECT_EQ(lock.outcome(), Outcome::Refused);
    EXPECT_NE(lock.refusal().find(folder.string()), std::string::npos) << lock.refusal();
}

// Starts with other session variables, or none, still meet at the one lock: it is the user's.
TEST(InstanceLockFolder, IsTheUsersRuntimeFolderElseAPrivateOneInTheTemporaryFolder) {
    QTemporaryDir temporary;
    const std::filesystem::path root = temporary.path().toStdString();
    const uid_t me = ::getuid();
    const std::string id = std::to_string(me);
    const std::filesystem::path fallback = root / "tmp" / ("vigilo-" + id);

    EXPECT_EQ(instanceLockFolder(me, root / "run", root / "tmp"), fallback) << "no runtime root";
    std::filesystem::create_directories(root / "elsewhere");
    std::filesystem::create_directories(root / "run");
    std::filesystem::create_directory_symlink(root / "elsewhere", root / "run" / id);
    EXPECT_EQ(instanceLockFolder(me, root / "run", root / "tmp"), fallback) << "a link";
    std::filesystem::remove(root / "run" / id);
    std::filesystem::create_directory(root / "run" / id);
    EXPECT_EQ(instanceLockFolder(me, root / "run", root / "tmp"), root / "run" / id / "vigilo");
    const std::string other = std::to_string(me + 1);
    std::filesystem::create_directory(root / "run" / other);
    EXPECT_EQ(instanceLockFolder(me + 1, root / "run", root / "tmp"),
              root / "tmp" / ("vigilo-" + other))
        << "a runtime folder the user does not own";
}

} // namespace
} // namespace vigilo
