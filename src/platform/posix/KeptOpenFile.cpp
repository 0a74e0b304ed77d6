#include "platform/posix/KeptOpenFile.h"

#include <fcntl.h>
#include <unistd.h>

namespace vigilo {

std::optional<std::string> KeptOpenFile::readStart(std::size_t limit) {
    if (!fd_.isValid()) {
        fd_.reset(::open(path_.c_str(), O_RDONLY | O_CLOEXEC));
        if (!fd_.isValid()) {
            return std::nullopt;
        }
    }
    std::string text(limit, '\0');
    const ssize_t count = ::pread(fd_.get(), text.data(), text.size(), 0);
    if (count < 0) {
        fd_.reset();
        return std::nullopt;
    }
    text.resize(static_cast<std::size_t>(count));
    return text;
}

} // namespace vigilo
