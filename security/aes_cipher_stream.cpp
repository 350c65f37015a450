#include <crypto++/aes.h>
#include <crypto++/ccm.h>
#include <fstream>
#include <kit/errors.h>
#include <kit/format.h>
#include <security/aes_ccm.h>
#include <security/aes_cipher_stream.h>
#include <security/errors.h>
#include <security/internal/file_paths.h>
#include <security/internal/plaintext_buffers.h>
#include <security/internal/stream_length.h>

namespace tarv_sec {

namespace {

constexpr std::uint64_t kSealOverhead = AesNonceSize + AesTagSize;
// CCM keeps the message length in the 15 - 12 = 3 bytes that a 12-byte nonce
// leaves free.
constexpr unsigned long long kLargestDocument = 0xFFFFFF;

} // namespace

AesCipherStream::AesCipherStream() = default;

AesCipherStream::AesCipherStream(const std::string& path, const std::vector<uint8_t>& key)
    : CipherStream(key)
{
    std::ifstream file(PathFromUtf8(path), std::ios::in | std::ios::binary);
    if (!file.good()) {
        throw kit::IoError(path + " is not readable");
    }
    try {
        Load(file);
    } catch (const kit::IoError&) {
        // Opens but does not read: a directory, or a file without a size.
        throw kit::IoError(path + " is not readable");
    }
}

AesCipherStream::AesCipherStream(std::istream& in, const std::vector<uint8_t>& key)
    : CipherStream(key)
{
    Load(in);
}

AesCipherStream::AesCipherStream(AesCipherStream&& other) = default;
AesCipherStream::~AesCipherStream() = default;

void AesCipherStream::Load(std::istream& in)
{
    const std::uint64_t size = RemainingBytes(in);
    if (size < kSealOverhead) {
        throw AesAuthenticationFailed(
            kit::format("Encrypted data of %llu bytes is too short to hold a nonce and a tag.",
                        static_cast<unsigned long long>(size)));
    }
    std::vector<uint8_t> nonce(AesNonceSize);
    in.read(reinterpret_cast<char*>(nonce.data()), static_cast<std::streamsize>(nonce.size()));
    if (in.gcount() != static_cast<std::streamsize>(nonce.size())) {
        throw kit::IoError("Stream is not readable.");
    }
    std::string plain;
    if (!AesDecryptRest(Key(), nonce, in, plain)) {
        throw AesAuthenticationFailed("Failed to authenticate.");
    }
    Adopt(std::move(plain));
}

void AesCipherStream::WriteToFile(const std::string& path)
{
    if (Key().empty()) {
        throw CipherStreamWriteError("Unable to write encrypted data to file without key.");
    }
    CheckWritableSize(kLargestDocument);
    const std::vector<uint8_t> nonce = GenerateAesIV();
    {
        // Keyed before the file is opened: a key the cipher refuses must not
        // cost the old file anything.
        CryptoPP::CCM<CryptoPP::AES, AesTagSize>::Encryption cipher;
        cipher.SetKeyWithIV(Key().data(), Key().size(), nonce.data(), nonce.size());
    }
    std::stringstream& plain = GetStream();
    plain.clear();
    plain.seekg(0);
    WriteFileWith(path, [&](std::ostream& file) {
        file.write(reinterpret_cast<const char*>(nonce.data()),
                   static_cast<std::streamsize>(nonce.size()));
        AesAuthenticateEncrypt(Key(), nonce, plain, file);
    });
    // Reading to the end may have set eof and fail; left set, they would
    // silently swallow everything the caller writes next.
    plain.clear();
}

} // namespace tarv_sec
