#include "platform/linux/PosixProcessRunner.h"

#include <gtest/gtest.h>

using namespace vigilo;

TEST(PosixProcessRunner, PassesArgumentsVerbatimWithoutAShell) {
    PosixProcessRunner runner;
    const auto result =
        runner.run("/bin/echo", {"two  spaces", "'single'", "\"double\"", "$HOME", "*", ""});
    ASSERT_TRUE(result);
    EXPECT_EQ(result->standardOutput, "two  spaces 'single' \"double\" $HOME * \n");
    EXPECT_EQ(result->exitStatus, 0);
}

TEST(PosixProcessRunner, ReportsTheExitStatusOrNoneForASignal) {
    PosixProcessRunner runner;
    EXPECT_EQ(runner.run("/bin/sh", {"-c", "exit 3"})->exitStatus, 3);
    const auto killed = runner.run("/bin/sh", {"-c", "kill -KILL $$"});
    ASSERT_TRUE(killed);
    EXPECT_EQ(killed->exitStatus, std::nullopt);
}

TEST(PosixProcessRunner, CannotStartAMissingProgram) {
    PosixProcessRunner runner;
    EXPECT_EQ(runner.run("/nonexistent/pmset", {"-g"}), std::nullopt);
    // No search along PATH: the path is taken as it is.
    EXPECT_EQ(runner.run("echo", {"hello"}), std::nullopt);
}

TEST(PosixProcessRunner, ReadsALargeOutputCompletely) {
    PosixProcessRunner runner;
    // 3 MiB: far more than a pipe holds, so the child blocks until we read.
    const auto result = runner.run("/usr/bin/head", {"-c", "3145728", "/dev/zero"});
    ASSERT_TRUE(result);
    EXPECT_EQ(result->standardOutput.size(), 3145728U);
    EXPECT_EQ(result->exitStatus, 0);
}

TEST(PosixProcessRunner, ConnectsStandardErrorAndInputToTheNullDevice) {
    PosixProcessRunner runner;
    const auto result = runner.run("/bin/sh", {"-c", "echo out; echo err >&2; cat; echo end"});
    ASSERT_TRUE(result);
    EXPECT_EQ(result->standardOutput, "out\nend\n");
}

TEST(PosixProcessRunner, PassesNoOtherDescriptorToTheChild) {
    PosixProcessRunner runner;
    // A descriptor of ours without close-on-exec, as a careless library might leave one.
    const int leaked = ::dup(STDOUT_FILENO);
    ASSERT_GE(leaked, 3);
    const auto result = runner.run("/bin/ls", {"/proc/self/fd"});
    ::close(leaked);
    ASSERT_TRUE(result);
    // 0, 1, 2 and the folder ls itself opened to list them.
    EXPECT_EQ(result->standardOutput, "0\n1\n2\n3\n");
}
