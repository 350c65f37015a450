#include <algorithm>
#include <crypto++/aes.h>
#include <crypto++/ccm.h>
#include <crypto++/misc.h>
#include <crypto++/osrng.h>
#include <crypto++/secblock.h>
#include <istream>
#include <kit/cout_buffer.h>
#include <kit/errors.h>
#include <ostream>
#include <security/aes_ccm.h>
#include <security/errors.h>
#include <security/internal/plaintext_buffers.h>
#include <security/internal/replacing_file.h>
#include <security/internal/stream_length.h>
#include <security/internal/wiping.h>

namespace tarv_sec {

namespace {

using bytes = std::vector<uint8_t>;
using Encryption = CryptoPP::CCM<CryptoPP::AES, AesTagSize>::Encryption;
using Decryption = CryptoPP::CCM<CryptoPP::AES, AesTagSize>::Decryption;

// Streams are processed in pieces of this size, so encrypting a large stream
// needs little memory.
constexpr std::size_t StreamChunkSize = 64 * 1024;

void WipeAndClear(bytes& data)
{
    Wipe(data);
    data.clear();
}

// Plaintext written into a caller's buffer before its tag has been checked.
// Unless the check succeeds, it is wiped and the buffer left empty, whether
// the check fails or something throws on the way.
template <class Buffer>
class UnverifiedPlaintext
{
public:
    explicit UnverifiedPlaintext(Buffer& out)
        : m_out(out)
    {}
    UnverifiedPlaintext(const UnverifiedPlaintext&) = delete;
    UnverifiedPlaintext& operator=(const UnverifiedPlaintext&) = delete;
    ~UnverifiedPlaintext()
    {
        if (!m_verified) {
            Wipe(m_out);
            m_out.clear();
        }
    }

    void Verified() { m_verified = true; }

private:
    Buffer& m_out;
    bool m_verified = false;
};

void ReportAuthenticationFailure()
{
    kit::CoutBuffer console;
    console << "Authentication failed.";
    console << kit::endl;
}

// Keys the cipher and declares the lengths CCM needs before any data. CCM
// itself refuses key and nonce lengths it cannot use and messages longer than
// the nonce length allows.
template <class Cipher>
void Prepare(Cipher& cipher, const bytes& key, const uint8_t* iv, std::size_t ivLength,
             CryptoPP::lword messageLength)
{
    cipher.SetKeyWithIV(key.data(), key.size(), iv, ivLength);
    cipher.SpecifyDataLengths(0, messageLength, 0);
}

// Encrypts n bytes of `plain` into `out`, which takes n + 16 bytes: the
// ciphertext, then the tag.
void Seal(Encryption& cipher, const uint8_t* plain, std::size_t n, uint8_t* out)
{
    if (n > 0)
        cipher.ProcessData(out, plain, n);
    cipher.TruncatedFinal(out + n, AesTagSize);
}

// Decrypts n bytes of ciphertext into `out` (which may be the ciphertext
// itself) and checks the tag.
[[nodiscard]] bool Open(Decryption& cipher, const uint8_t* cipherText, std::size_t n,
                        const uint8_t* tag, uint8_t* out)
{
    if (n > 0)
        cipher.ProcessData(out, cipherText, n);
    return cipher.TruncatedVerify(tag, AesTagSize);
}

void RequireTag(std::size_t cipherSize)
{
    if (cipherSize < AesTagSize)
        throw AesAuthenticationFailed("Ciphertext is too short to hold an authentication tag.");
}

void RequireNonceAndTag(std::size_t blobSize)
{
    if (blobSize < AesNonceSize + AesTagSize)
        throw AesAuthenticationFailed("Sealed data is too short to hold a nonce and a tag.");
}

void ReadExactly(std::istream& in, uint8_t* data, std::size_t n)
{
    in.read(reinterpret_cast<char*>(data), static_cast<std::streamsize>(n));
    if (static_cast<std::size_t>(in.gcount()) != n)
        throw kit::IoError("Unable to read from stream.");
}

void WriteAll(std::ostream& out, const uint8_t* data, std::size_t n)
{
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(n));
    if (!out)
        throw kit::IoError("Unable to write to stream.");
}

std::size_t ToSize(std::uint64_t n)
{
    if (n > static_cast<std::uint64_t>(static_cast<std::size_t>(-1)))
        throw kit::IoError("Stream is too large.");
    return static_cast<std::size_t>(n);
}

} // namespace

std::vector<uint8_t> AesAuthenticateEncrypt(const std::vector<uint8_t>& key,
                                            const std::vector<uint8_t>& iv,
                                            const std::vector<uint8_t>& plain)
{
    bytes out;
    AesAuthenticateEncrypt(key, iv, plain, out);
    return out;
}

void AesAuthenticateEncrypt(const std::vector<uint8_t>& key, const std::vector<uint8_t>& iv,
                            const std::vector<uint8_t>& plain, std::vector<uint8_t>& out)
{
    if (&out == &plain || &out == &key || &out == &iv) {
        bytes sealed;
        AesAuthenticateEncrypt(key, iv, plain, sealed);
        Wipe(out);
        out = std::move(sealed);
        return;
    }
    // Keyed before `out` is touched, so a refused key or nonce leaves it as it was.
    Encryption cipher;
    Prepare(cipher, key, iv.data(), iv.size(), plain.size());
    out.resize(plain.size() + AesTagSize);
    Seal(cipher, plain.data(), plain.size(), out.data());
}

void AesAuthenticateEncrypt(const std::vector<uint8_t>& key, const std::vector<uint8_t>& iv,
                            std::istream& in, std::ostream& out)
{
    std::uint64_t remaining = RemainingBytes(in);
    Encryption cipher;
    Prepare(cipher, key, iv.data(), iv.size(), remaining);
    CryptoPP::SecByteBlock chunk(
        static_cast<std::size_t>(std::min<std::uint64_t>(remaining, StreamChunkSize)));
    while (remaining > 0) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(remaining, chunk.size()));
        ReadExactly(in, chunk.data(), n);
        cipher.ProcessData(chunk.data(), chunk.data(), n);
        WriteAll(out, chunk.data(), n);
        remaining -= n;
    }
    uint8_t tag[AesTagSize];
    cipher.TruncatedFinal(tag, AesTagSize);
    WriteAll(out, tag, AesTagSize);
}

std::vector<uint8_t> AesAuthenticateEncryptCreateIV(const std::vector<uint8_t>& key,
                                                    const std::vector<uint8_t>& plain)
{
    const bytes nonce = GenerateAesIV();
    Encryption cipher;
    Prepare(cipher, key, nonce.data(), nonce.size(), plain.size());
    bytes sealed(AesNonceSize + plain.size() + AesTagSize);
    std::copy(nonce.begin(), nonce.end(), sealed.begin());
    Seal(cipher, plain.data(), plain.size(), sealed.data() + AesNonceSize);
    return sealed;
}

std::vector<uint8_t> AesAuthenticateDecrypt(const std::vector<uint8_t>& key,
                                            const std::vector<uint8_t>& iv,
                                            const std::vector<uint8_t>& cipher)
{
    bytes out;
    if (!AesAuthenticateDecrypt(key, iv, cipher, out))
        throw AesAuthenticationFailed("Unable to authenticate.");
    return out;
}

bool AesAuthenticateDecrypt(const std::vector<uint8_t>& key, const std::vector<uint8_t>& iv,
                            const std::vector<uint8_t>& cipher, std::vector<uint8_t>& out)
{
    RequireTag(cipher.size());
    if (&out == &cipher || &out == &key || &out == &iv) {
        bytes plain;
        const bool verified = AesAuthenticateDecrypt(key, iv, cipher, plain);
        WipeAndClear(out);
        out = std::move(plain);
        return verified;
    }
    const std::size_t n = cipher.size() - AesTagSize;
    Decryption decryption;
    Prepare(decryption, key, iv.data(), iv.size(), n);
    out.resize(n);
    UnverifiedPlaintext guard(out);
    if (!Open(decryption, cipher.data(), n, cipher.data() + n, out.data())) {
        ReportAuthenticationFailure();
        return false;
    }
    guard.Verified();
    return true;
}

bool AesAuthenticateDecrypt(const std::vector<uint8_t>& key, const std::vector<uint8_t>& iv,
                            std::istream& in, std::ostream& out)
{
    // CCM authenticates the plaintext, so the whole of it is known only at the
    // end: it is held here, wiped on release, until the tag has verified.
    std::string plain;
    const WipeOnRelease wipe(plain);
    if (!AesDecryptRest(key, iv, in, plain))
        return false;
    WriteAll(out, reinterpret_cast<const uint8_t*>(plain.data()), plain.size());
    return true;
}

bool AesDecryptRest(const std::vector<uint8_t>& key, const std::vector<uint8_t>& iv,
                    std::istream& in, std::string& plain)
{
    const std::uint64_t remaining = RemainingBytes(in);
    RequireTag(ToSize(remaining));
    const std::size_t n = ToSize(remaining) - AesTagSize;
    Decryption decryption;
    // Keyed, and the length checked against what the nonce allows, before
    // anything of that length is allocated.
    Prepare(decryption, key, iv.data(), iv.size(), n);
    UnverifiedPlaintext guard(plain);
    plain.resize(n);
    auto* data = reinterpret_cast<uint8_t*>(plain.data());
    uint8_t tag[AesTagSize];
    ReadExactly(in, data, n);
    ReadExactly(in, tag, AesTagSize);
    if (!Open(decryption, data, n, tag, data)) {
        ReportAuthenticationFailure();
        return false;
    }
    guard.Verified();
    return true;
}

std::vector<uint8_t> AesAuthenticateDecryptReadIV(const std::vector<uint8_t>& key,
                                                  const std::vector<uint8_t>& blob)
{
    RequireNonceAndTag(blob.size());
    const std::size_t n = blob.size() - AesNonceSize - AesTagSize;
    Decryption decryption;
    Prepare(decryption, key, blob.data(), AesNonceSize, n);
    bytes out(n);
    UnverifiedPlaintext guard(out);
    if (!Open(decryption, blob.data() + AesNonceSize, n, blob.data() + AesNonceSize + n,
              out.data())) {
        ReportAuthenticationFailure();
        throw AesAuthenticationFailed("Unable to authenticate.");
    }
    guard.Verified();
    return out;
}

bool AesAuthenticateDecryptToFile(const std::vector<uint8_t>& key, const std::vector<uint8_t>& blob,
                                  const std::string& path)
{
    RequireNonceAndTag(blob.size());
    const std::size_t n = blob.size() - AesNonceSize - AesTagSize;
    Decryption decryption;
    Prepare(decryption, key, blob.data(), AesNonceSize, n);
    // Held, and wiped on release, until the tag has verified.
    CryptoPP::SecByteBlock plain(n);
    if (!Open(decryption, blob.data() + AesNonceSize, n, blob.data() + AesNonceSize + n,
              plain.data())) {
        ReportAuthenticationFailure();
        return false;
    }
    // Written only now that the tag has verified, and in place of the old
    // file only once complete.
    ReplacingFile file(path, ReplacingFile::Access::Default);
    file.Stream().write(reinterpret_cast<const char*>(plain.data()),
                        static_cast<std::streamsize>(n));
    file.Commit();
    return true;
}

std::vector<uint8_t> GenerateAesKey()
{
    CryptoPP::AutoSeededRandomPool random;
    bytes key(16);
    random.GenerateBlock(key.data(), key.size());
    return key;
}

std::vector<uint8_t> GenerateAesIV()
{
    CryptoPP::AutoSeededRandomPool random;
    bytes nonce(AesNonceSize);
    random.GenerateBlock(nonce.data(), nonce.size());
    return nonce;
}

unsigned int GetAesEncryptedLength(unsigned int n)
{
    return n + static_cast<unsigned int>(AesNonceSize + AesTagSize);
}

} // namespace tarv_sec
