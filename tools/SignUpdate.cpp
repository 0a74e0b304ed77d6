// Makes the Ed25519 key pair of the update feed and signs update archives with it; the program
// checks the signatures against the public key it was built with (VIGILO_UPDATE_PUBLIC_KEY).
//   vigilo_sign_update generate-key <private key file>   writes a new private key (mode 0600,
//                                                         never over an existing file) and
//                                                         prints the public key
//   vigilo_sign_update public-key <private key file>     prints the public key
//   vigilo_sign_update sign <private key file> <archive> prints the archive's signature
// Keys and signatures are Base64; the private key file holds the key's 32-byte seed.
#include <array>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sodium.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Seed = std::array<unsigned char, crypto_sign_SEEDBYTES>;

struct KeyPair {
    std::array<unsigned char, crypto_sign_PUBLICKEYBYTES> publicKey{};
    std::array<unsigned char, crypto_sign_SECRETKEYBYTES> secretKey{};
};

std::string base64(const unsigned char* bytes, std::size_t size) {
    std::string text(sodium_base64_encoded_len(size, sodium_base64_VARIANT_ORIGINAL), '\0');
    sodium_bin2base64(text.data(), text.size(), bytes, size, sodium_base64_VARIANT_ORIGINAL);
    text.resize(text.size() - 1); // the terminating zero
    return text;
}

std::optional<std::string> readFile(const char* path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(file), {});
}

KeyPair keyPairOf(const Seed& seed) {
    KeyPair pair;
    crypto_sign_seed_keypair(pair.publicKey.data(), pair.secretKey.data(), seed.data());
    return pair;
}

std::optional<KeyPair> readKeyPair(const char* path) {
    const auto text = readFile(path);
    if (!text) {
        return std::nullopt;
    }
    Seed seed{};
    std::size_t size = 0;
    // Trailing white space (a final newline) is allowed.
    if (sodium_base642bin(seed.data(), seed.size(), text->data(), text->size(), " \n\r\t", &size,
                          nullptr, sodium_base64_VARIANT_ORIGINAL) != 0 ||
        size != seed.size()) {
        return std::nullopt;
    }
    return keyPairOf(seed);
}

int generateKey(const char* path) {
    Seed seed{};
    randombytes_buf(seed.data(), seed.size());
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    const std::string text = base64(seed.data(), seed.size()) + "\n";
    const bool written =
        fd >= 0 && ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    if (fd >= 0) {
        ::close(fd);
    }
    if (!written) {
        std::cerr << "vigilo_sign_update: cannot write a new key to " << path
                  << " (it must not exist yet)\n";
        return 1;
    }
    const KeyPair pair = keyPairOf(seed);
    std::cout << base64(pair.publicKey.data(), pair.publicKey.size()) << '\n';
    return 0;
}

int printPublicKey(const char* keyPath) {
    const auto pair = readKeyPair(keyPath);
    if (!pair) {
        std::cerr << "vigilo_sign_update: " << keyPath << " holds no private key\n";
        return 1;
    }
    std::cout << base64(pair->publicKey.data(), pair->publicKey.size()) << '\n';
    return 0;
}

int sign(const char* keyPath, const char* archivePath) {
    const auto pair = readKeyPair(keyPath);
    if (!pair) {
        std::cerr << "vigilo_sign_update: " << keyPath << " holds no private key\n";
        return 1;
    }
    const auto archive = readFile(archivePath);
    if (!archive) {
        std::cerr << "vigilo_sign_update: cannot read " << archivePath << '\n';
        return 1;
    }
    std::array<unsigned char, crypto_sign_BYTES> signature{};
    crypto_sign_detached(signature.data(), nullptr,
                         reinterpret_cast<const unsigned char*>(archive->data()), archive->size(),
                         pair->secretKey.data());
    std::cout << base64(signature.data(), signature.size()) << '\n';
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (sodium_init() < 0) {
        std::cerr << "vigilo_sign_update: libsodium cannot start\n";
        return 1;
    }
    if (arguments.size() == 2 && arguments[0] == "generate-key") {
        return generateKey(argv[2]);
    }
    if (arguments.size() == 2 && arguments[0] == "public-key") {
        return printPublicKey(argv[2]);
    }
    if (arguments.size() == 3 && arguments[0] == "sign") {
        return sign(argv[2], argv[3]);
    }
    std::cerr << "usage: vigilo_sign_update generate-key <private key file>\n"
                 "       vigilo_sign_update public-key <private key file>\n"
                 "       vigilo_sign_update sign <private key file> <archive>\n";
    return 64;
}
