#include "platform/linux/update/FileDigest.h"

#include <cerrno>
#include <unistd.h>

namespace vigilo {

FileDigest::FileDigest() {
    // Picks the fastest implementation for this processor; safe to call again from any thread.
    // It fails only without randomness, which hashing does not need.
    [[maybe_unused]] const int initialized = sodium_init();
    crypto_generichash_init(&state_, nullptr, 0, crypto_generichash_BYTES);
}

void FileDigest::add(const void* bytes, std::size_t size) {
    crypto_generichash_update(&state_, static_cast<const unsigned char*>(bytes), size);
}

FileDigest::Value FileDigest::finish() {
    Value value{};
    crypto_generichash_final(&state_, value.data(), value.size());
    return value;
}

std::optional<FileDigest::Value> FileDigest::ofRest(int fd) {
    FileDigest digest;
    std::array<char, 65536> buffer; // filled by read() before use
    for (;;) {
        const ssize_t count = ::read(fd, buffer.data(), buffer.size());
        if (count > 0) {
            digest.add(buffer.data(), static_cast<std::size_t>(count));
        } else if (count == 0) {
            return digest.finish();
        } else if (errno != EINTR) {
            return std::nullopt;
        }
    }
}

} // namespace vigilo
