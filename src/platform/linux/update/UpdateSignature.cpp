#include "platform/linux/update/UpdateSignature.h"

#include "util/Base64.h"
#include "util/Files.h"

#include <sodium.h>

namespace vigilo::UpdateSignature {

namespace {

/// The whole program with its libraries packs into far less; anything larger is not an update.
constexpr std::size_t largestArchive = std::size_t{256} << 20U;

} // namespace

bool isSignedBy(const std::filesystem::path& archive, std::string_view signature,
                std::string_view publicKey) {
    // Safe to call again and from any thread; fails only when the system has no randomness.
    if (sodium_init() < 0) {
        return false;
    }
    const auto signatureBytes = Base64::decode(signature);
    const auto keyBytes = Base64::decode(publicKey);
    if (!signatureBytes || signatureBytes->size() != crypto_sign_BYTES || !keyBytes ||
        keyBytes->size() != crypto_sign_PUBLICKEYBYTES) {
        return false;
    }
    const auto contents = readWholeFile(archive, largestArchive);
    if (!contents) {
        return false;
    }
    return crypto_sign_verify_detached(signatureBytes->data(),
                                       reinterpret_cast<const unsigned char*>(contents->data()),
                                       contents->size(), keyBytes->data()) == 0;
}

} // namespace vigilo::UpdateSignature
