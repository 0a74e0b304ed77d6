#include "platform/linux/update/UpdateSignature.h"

#include "platform/TempFolder.h"
#include "util/Base64.h"

#include <array>
#include <gtest/gtest.h>
#include <sodium.h>
#include <vector>

namespace vigilo {
namespace {

using Bytes = std::vector<std::uint8_t>;

/// A key pair made for this run, and an archive signed with it.
class UpdateSignatureTest : public ::testing::Test {
protected:
    UpdateSignatureTest() {
        EXPECT_GE(sodium_init(), 0);
        crypto_sign_keypair(publicKey.data(), secretKey.data());
        writeFile(archive, contents);
    }

    [[nodiscard]] std::string
    signatureOf(const std::string& bytes,
                const std::array<unsigned char, crypto_sign_SECRETKEYBYTES>& key) const {
        Bytes signature(crypto_sign_BYTES);
        crypto_sign_detached(signature.data(), nullptr,
                             reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                             key.data());
        return Base64::encode(signature);
    }
    [[nodiscard]] static std::string base64(const auto& key) {
        return Base64::encode(Bytes(key.begin(), key.end()));
    }

    TempFolder folder;
    std::filesystem::path archive = folder.path() / "vigilo-1.3.tar.gz";
    std::string contents = "\x1f\x8b" + std::string(5000, '\0') + "an archive";
    std::array<unsigned char, crypto_sign_PUBLICKEYBYTES> publicKey{};
    std::array<unsigned char, crypto_sign_SECRETKEYBYTES> secretKey{};
};

TEST_F(UpdateSignatureTest, AcceptsOnlyTheKeyHoldersSignatureOfTheFileAsItIs) {
    std::array<unsigned char, crypto_sign_PUBLICKEYBYTES> otherPublic{};
    std::array<unsigned char, crypto_sign_SECRETKEYBYTES> otherSecret{};
    crypto_sign_keypair(otherPublic.data(), otherSecret.data());
    const auto signature = signatureOf(contents, secretKey);
    auto damaged = *Base64::decode(signature);
    damaged[10] ^= 1U;

    struct Case {
        const char* name;
        std::string signature;
        std::string publicKey;
        bool isSigned;
    };
    const Case cases[] = {
        {"signed", signature, base64(publicKey), true},
        {"signed by someone else", signatureOf(contents, otherSecret), base64(publicKey), false},
        {"checked against another key", signature, base64(otherPublic), false},
        {"a signature of other bytes", signatureOf(contents + "!", secretKey), base64(publicKey),
         false},
        {"a damaged signature", Base64::encode(damaged), base64(publicKey), false},
        {"no signature", "", base64(publicKey), false},
        {"a signature that is not Base64", "not base64!", base64(publicKey), false},
        {"a signature of the wrong length", "AAAA", base64(publicKey), false},
        {"no key", signature, "", false},
        {"a key of the wrong length", signature, "AAAA", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UpdateSignature::isSignedBy(archive, c.signature, c.publicKey), c.isSigned)
            << c.name;
    }
}

TEST_F(UpdateSignatureTest, RefusesATamperedOrMissingFile) {
    const auto signature = signatureOf(contents, secretKey);
    auto tampered = contents;
    tampered[100] ^= 1;
    writeFile(archive, tampered);
    EXPECT_FALSE(UpdateSignature::isSignedBy(archive, signature, base64(publicKey)));
    writeFile(archive, contents + "x");
    EXPECT_FALSE(UpdateSignature::isSignedBy(archive, signature, base64(publicKey)));
    EXPECT_FALSE(
        UpdateSignature::isSignedBy(folder.path() / "missing", signature, base64(publicKey)));
}

} // namespace
} // namespace vigilo
