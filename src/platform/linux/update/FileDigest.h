#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <sodium.h>

namespace vigilo {

/// A BLAKE2b digest of bytes that arrive in pieces (libsodium's generic hash), to tell whether
/// two copies of a file hold the same bytes.
class FileDigest {
public:
    using Value = std::array<unsigned char, crypto_generichash_BYTES>;

    FileDigest();

    void add(const void* bytes, std::size_t size);
    /// The digest of everything added; nothing may be added after.
    [[nodiscard]] Value finish();

    /// The digest of the file open at `fd`, read from where it stands to its end; nothing when
    /// it cannot be read.
    [[nodiscard]] static std::optional<Value> ofRest(int fd);

private:
    crypto_generichash_state state_{};
};

} // namespace vigilo
