#pragma once

#include "platform/posix/UniqueFd.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace vigilo {

/// A file read from its start again and again through one descriptor: for the files the kernel
/// writes anew on each read (/proc), read on every heartbeat, whose path need not be looked up
/// each time. It opens at the first read, and again after a read that failed.
class KeptOpenFile {
public:
    explicit KeptOpenFile(std::filesystem::path path)
        : path_(std::move(path)) {}

    /// At most the first `limit` bytes, in one read, as `readFileStart` gives them; nothing when
    /// the file cannot be read.
    [[nodiscard]] std::optional<std::string> readStart(std::size_t limit = 4096);

private:
    std::filesystem::path path_;
    UniqueFd fd_;
};

} // namespace vigilo
