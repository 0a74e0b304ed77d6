#include "util/Files.h"

#include <fcntl.h>
#include <unistd.h>

namespace vigilo {

namespace {

/// Owns a descriptor for the length of one read.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const std::filesystem::path& path)
        : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~ReadOnlyFile() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    [[nodiscard]] bool isOpen() const { return fd_ >= 0; }
    /// Reads into `buffer` from `offset`; the count read, 0 at the end, negative on failure.
    ssize_t readInto(std::string& buffer, std::size_t offset) const {
        return ::read(fd_, buffer.data() + offset, buffer.size() - offset);
    }

private:
    int fd_;
};

} // namespace

std::optional<std::string> readFileStart(const std::filesystem::path& path, std::size_t limit) {
    const ReadOnlyFile file(path);
    if (!file.isOpen()) {
        return std::nullopt;
    }
    std::string text(limit, '\0');
    const ssize_t count = file.readInto(text, 0);
    if (count < 0) {
        return std::nullopt;
    }
    text.resize(static_cast<std::size_t>(count));
    return text;
}

std::optional<std::string> readWholeFile(const std::filesystem::path& path, std::size_t limit) {
    const ReadOnlyFile file(path);
    if (!file.isOpen()) {
        return std::nullopt;
    }
    std::string text;
    std::size_t size = 0;
    for (;;) {
        if (size == text.size()) {
            if (size > limit) {
                return std::nullopt;
            }
            text.resize(size == 0 ? 4096 : size * 2);
        }
        const ssize_t count = file.readInto(text, size);
        if (count < 0) {
            return std::nullopt;
        }
        if (count == 0) {
            break;
        }
        size += static_cast<std::size_t>(count);
    }
    if (size > limit) {
        return std::nullopt;
    }
    text.resize(size);
    return text;
}

} // namespace vigilo
