#pragma once

#include <filesystem>
#include <string_view>

// Ed25519 signatures of update archives, the scheme Sparkle appcasts use: the signature covers
// the archive's bytes as they are, and both it and the public key travel as Base64.
namespace vigilo::UpdateSignature {

/// Whether `signature` (Base64 of 64 bytes) is the signature of the whole file at `archive` by
/// the holder of `publicKey` (Base64 of 32 bytes). False when either is empty or malformed, and
/// when the file cannot be read or is larger than any update. Reads the whole file: keep it off
/// the main thread.
[[nodiscard]] bool isSignedBy(const std::filesystem::path& archive, std::string_view signature,
                              std::string_view publicKey);

} // namespace vigilo::UpdateSignature
