#pragma once

#include "ports/ProcessRunner.h"

#include <chrono>
#include <gtest/gtest.h>
#include <stop_token>
#include <string>

// What every process runner does, checked with real child processes. A runner's test file
// instantiates it: INSTANTIATE_TYPED_TEST_SUITE_P(Name, ProcessRunnerContract, RunnerType).
namespace vigilo {

template <typename Runner> class ProcessRunnerContract : public ::testing::Test {
protected:
    Runner runner;
};
TYPED_TEST_SUITE_P(ProcessRunnerContract);

TYPED_TEST_P(ProcessRunnerContract, PassesArgumentsVerbatimWithoutAShell) {
    const auto result =
        this->runner.run("/bin/echo", {"two  spaces", "'single'", "\"double\"", "$HOME", "*", ""});
    ASSERT_TRUE(result);
    EXPECT_EQ(result->standardOutput, "two  spaces 'single' \"double\" $HOME * \n");
    EXPECT_EQ(result->exitStatus, 0);
}

TYPED_TEST_P(ProcessRunnerContract, ReportsTheExitStatusOrNoneForASignal) {
    EXPECT_EQ(this->runner.run("/bin/sh", {"-c", "exit 3"})->exitStatus, 3);
    const auto killed = this->runner.run("/bin/sh", {"-c", "kill -KILL $$"});
    ASSERT_TRUE(killed);
    EXPECT_EQ(killed->exitStatus, std::nullopt);
}

TYPED_TEST_P(ProcessRunnerContract, CannotStartAMissingProgram) {
    EXPECT_EQ(this->runner.run("/nonexistent/pmset", {"-g"}), std::nullopt);
    // No search along PATH: the path is taken as it is.
    EXPECT_EQ(this->runner.run("echo", {"hello"}), std::nullopt);
}

TYPED_TEST_P(ProcessRunnerContract, ReadsALargeOutputCompletely) {
    // 3 MiB: far more than a pipe holds, so the child blocks until we read.
    const auto result = this->runner.run("/usr/bin/head", {"-c", "3145728", "/dev/zero"});
    ASSERT_TRUE(result);
    EXPECT_EQ(result->standardOutput.size(), 3145728U);
    EXPECT_EQ(result->exitStatus, 0);
}

TYPED_TEST_P(ProcessRunnerContract, ConnectsStandardErrorAndInputToTheNullDevice) {
    const auto result =
        this->runner.run("/bin/sh", {"-c", "echo out; echo err >&2; cat; echo end"});
    ASSERT_TRUE(result);
    EXPECT_EQ(result->standardOutput, "out\nend\n");
}

// A run with a limit ends in time: a program that finishes is read as without one; one that
// would run on is killed with everything it started, at its time or when stop is asked.
TYPED_TEST_P(ProcessRunnerContract, ARunWithALimitKillsTheProgramGroupAtItsTimeOrStop) {
    using namespace std::chrono_literals;
    std::stop_source stopped;
    stopped.request_stop();
    struct Case {
        const char* name;
        std::string script;
        std::chrono::milliseconds timeout;
        std::stop_token stop;
        ProcessResult expected;
    };
    // The pipe stays open in the background sleeper: only the limit ends the run.
    const std::string runsOn = "sleep 600 & wait";
    const Case cases[] = {
        {"finishes", "echo done; exit 4", 10min, {}, {"done\n", 4, false}},
        // Its exit is seen although the output ended well before it.
        {"closes its output first",
         "echo early; exec >&-; sleep 1; exit 2",
         10min,
         {},
         {"early\n", 2, false}},
        {"runs past its time", runsOn, 1s, {}, {"", std::nullopt, true}},
        {"stopped", runsOn, 10min, stopped.get_token(), {"", std::nullopt, true}},
    };
    for (const auto& c : cases) {
        const auto result = this->runner.runWithin("/bin/sh", {"-c", c.script},
                                                   {.timeout = c.timeout, .stop = c.stop});
        ASSERT_TRUE(result) << c.name;
        EXPECT_EQ(result->standardOutput, c.expected.standardOutput) << c.name;
        EXPECT_EQ(result->exitStatus, c.expected.exitStatus) << c.name;
        EXPECT_EQ(result->killed, c.expected.killed) << c.name;
    }
}

REGISTER_TYPED_TEST_SUITE_P(ProcessRunnerContract, PassesArgumentsVerbatimWithoutAShell,
                            ReportsTheExitStatusOrNoneForASignal, CannotStartAMissingProgram,
                            ReadsALargeOutputCompletely,
                            ConnectsStandardErrorAndInputToTheNullDevice,
                            ARunWithALimitKillsTheProgramGroupAtItsTimeOrStop);

} // namespace vigilo
