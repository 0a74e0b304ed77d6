#include "platform/macos/process/MacProcessRunner.h"

#include "../../platform/ProcessRunnerContract.h"

namespace vigilo {

// Plain POSIX: it runs real child processes here as on a Mac.
INSTANTIATE_TYPED_TEST_SUITE_P(MacProcessRunner, ProcessRunnerContract, MacProcessRunner);

} // namespace vigilo
