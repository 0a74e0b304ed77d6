#include "platform/posix/KeptOpenFile.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

using namespace vigilo;

TEST(KeptOpenFile, ReadsWhatTheFileHoldsNowAndWaitsForAFileThatIsNotThereYet) {
    const TempFolder folder;
    const auto path = folder.path() / "loadavg";
    KeptOpenFile file(path);
    EXPECT_EQ(file.readStart(), std::nullopt);

    writeFile(path, "0.10 0.05 0.01 1/90 4242\n");
    EXPECT_EQ(file.readStart(), "0.10 0.05 0.01 1/90 4242\n");
    writeFile(path, "0.20 0.05 0.01 1/91 4300\n");
    EXPECT_EQ(file.readStart(), "0.20 0.05 0.01 1/91 4300\n") << "read from the start again";
    EXPECT_EQ(file.readStart(4), "0.20");
}

TEST(KeptOpenFile, TheKernelWritesAProcFileAnewForEveryRead) {
    // "rchar" counts the bytes this process read so far, the first read's among them.
    KeptOpenFile file("/proc/self/io");
    const auto first = file.readStart();
    const auto second = file.readStart();
    ASSERT_TRUE(first && second);
    EXPECT_NE(*first, *second);
}
