#include "util/Files.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace vigilo {

namespace {

std::filesystem::path writeFile(const std::string& name, const std::string& content) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("vigilo-files-" + std::to_string(::getpid()) + "-" + name);
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

} // namespace

TEST(Files, ReadWholeFileReadsPastEveryBufferSizeAndHonoursTheLimit) {
    const std::string big(100'000, 'x');
    const auto path = writeFile("big", big + "end");
    EXPECT_EQ(readWholeFile(path), big + "end");
    EXPECT_FALSE(readWholeFile(path, 1000)) << "larger than the limit";
    EXPECT_EQ(readFileStart(path, 5), "xxxxx");
    std::filesystem::remove(path);

    const auto empty = writeFile("empty", "");
    EXPECT_EQ(readWholeFile(empty), "");
    std::filesystem::remove(empty);

    EXPECT_FALSE(readWholeFile("/nonexistent/file"));
    EXPECT_FALSE(readFileStart("/nonexistent/file"));
    EXPECT_FALSE(readWholeFile(std::filesystem::temp_directory_path())) << "a folder";
}

} // namespace vigilo
