#include "platform/linux/process/PosixProcessRunner.h"

#include "ProcessRunnerContract.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace vigilo {

INSTANTIATE_TYPED_TEST_SUITE_P(PosixProcessRunner, ProcessRunnerContract, PosixProcessRunner);

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

} // namespace vigilo
