#include <crypto++/files.h>
#include <crypto++/osrng.h>
#include <crypto++/queue.h>
#include <crypto++/secblock.h>
#include <kit/errors.h>
#include <kit/path.h>
#include <security/errors.h>
#include <security/internal/file_descriptor.h>
#include <security/internal/file_paths.h>
#include <security/internal/replacing_file.h>
#include <security/internal/rsa_key_coding.h>
#include <security/rsa_keys.h>
#include <stdexcept>

namespace tarv_sec {

namespace {

constexpr unsigned int kModulusBits = 2048;
constexpr unsigned int kThoroughValidation = 3;
// Shorter moduli are breakable. Longer moduli and exponents come only from
// someone who wants each operation with the key to stall its user: a
// 65536-bit modulus with an exponent as long makes one verification take
// half a minute.
constexpr unsigned int kSmallestModulusBits = 2048;
constexpr unsigned int kLargestModulusBits = 16384;
constexpr unsigned int kLargestPublicExponentBits = 64;
// A 16384-bit private key takes under 10 KiB.
constexpr std::size_t kKeyFilePiece = 4096;
constexpr std::size_t kLargestKeyFile = 1024 * 1024;

void Validate(const CryptoPP::RSAFunction& key)
{
    // Sizes first: the thorough checks below cost time that grows with them.
    const unsigned int modulusBits = key.GetModulus().BitCount();
    if (modulusBits < kSmallestModulusBits || modulusBits > kLargestModulusBits ||
        key.GetPublicExponent().BitCount() > kLargestPublicExponentBits) {
        throw RsaKeyValidationFailed("Rsa key validation failed.");
    }
    CryptoPP::AutoSeededRandomPool rng;
    if (!key.Validate(rng, kThoroughValidation)) {
        throw RsaKeyValidationFailed("Rsa key validation failed.");
    }
}

CryptoPP::ByteQueue ReadKeyFile(const std::string& path)
{
    // Read without a file stream, whose buffer would be freed holding the
    // private key, into memory that is wiped when it is freed.
    FileDescriptor file = FileDescriptor::OpenForReading(PathFromUtf8(path));
    if (!file.IsOpen()) {
        throw kit::IoError("Unable to read from " + path);
    }
    CryptoPP::SecByteBlock content(kKeyFilePiece);
    std::size_t size = 0;
    for (;;) {
        if (size == content.size()) {
            // Far beyond the largest key: not a key file.
            if (size >= kLargestKeyFile) {
                throw CryptoPP::BERDecodeErr();
            }
            content.CleanGrow(2 * size);
        }
        const long long read =
            file.Read(reinterpret_cast<char*>(content.data() + size), content.size() - size);
        if (read < 0) {
            throw kit::IoError("Unable to read from " + path);
        }
        if (read == 0) {
            break;
        }
        size += static_cast<std::size_t>(read);
    }
    CryptoPP::ByteQueue queue;
    queue.Put(content.data(), size);
    queue.MessageEnd();
    return queue;
}

void WriteKeyFile(CryptoPP::ByteQueue& queue, const std::string& path, ReplacingFile::Access access)
{
    ReplacingFile file(path, access);
    try {
        CryptoPP::FileSink sink(file.Stream());
        queue.CopyTo(sink);
        sink.MessageEnd();
    } catch (const CryptoPP::FileSink::Err&) {
        throw kit::IoError("Failed writing to file: " + path);
    }
    file.Commit();
}

template <typename Key>
Key LoadKeyFile(const std::string& path)
{
    CryptoPP::ByteQueue queue = ReadKeyFile(path);
    Key key;
    key.Load(queue);
    Validate(key);
    return key;
}

template <typename Key>
Key KeyFromDer(const std::vector<uint8_t>& der)
{
    CryptoPP::ByteQueue queue;
    queue.Put(der.data(), der.size());
    queue.MessageEnd();
    Key key;
    key.Load(queue);
    Validate(key);
    return key;
}

std::vector<uint8_t> QueueToBytes(CryptoPP::ByteQueue& queue)
{
    std::vector<uint8_t> bytes(static_cast<std::size_t>(queue.MaxRetrievable()));
    queue.Get(bytes.data(), bytes.size());
    return bytes;
}

} // namespace

CryptoPP::InvertibleRSAFunction PrivateKeyFromDer(const std::vector<uint8_t>& der)
{
    return KeyFromDer<CryptoPP::InvertibleRSAFunction>(der);
}

CryptoPP::RSAFunction PublicKeyFromDer(const std::vector<uint8_t>& der)
{
    return KeyFromDer<CryptoPP::RSAFunction>(der);
}

std::vector<uint8_t> PublicKeyToDer(const CryptoPP::X509PublicKey& key)
{
    CryptoPP::ByteQueue queue;
    key.Save(queue);
    return QueueToBytes(queue);
}

std::vector<uint8_t> PrivateKeyToDer(const CryptoPP::PKCS8PrivateKey& key)
{
    CryptoPP::ByteQueue queue;
    key.Save(queue);
    return QueueToBytes(queue);
}

std::pair<std::string, std::string> GenerateRsaKeyPair(const std::string& base,
                                                       const std::string& dir)
{
    CryptoPP::AutoSeededRandomPool rng;
    CryptoPP::InvertibleRSAFunction privateKey;
    privateKey.GenerateRandomWithKeySize(rng, kModulusBits);
    const CryptoPP::RSAFunction publicKey(privateKey);

    auto paths = GetRsaKeyPairNames(base, dir);
    CryptoPP::ByteQueue privateBytes;
    privateKey.Save(privateBytes);
    WriteKeyFile(privateBytes, paths.first, ReplacingFile::Access::OwnerOnly);
    CryptoPP::ByteQueue publicBytes;
    publicKey.Save(publicBytes);
    WriteKeyFile(publicBytes, paths.second, ReplacingFile::Access::Default);

    if (!ComparePublicKeys(LoadPublicKey(paths.second), publicKey)) {
        throw std::runtime_error("Public key data did not round trip.");
    }
    const CryptoPP::InvertibleRSAFunction reread = LoadPrivateKey(paths.first);
    if (reread.GetModulus() != privateKey.GetModulus() ||
        reread.GetPublicExponent() != privateKey.GetPublicExponent() ||
        reread.GetPrivateExponent() != privateKey.GetPrivateExponent()) {
        throw std::runtime_error("Private key data did not round trip.");
    }
    return paths;
}

std::pair<std::string, std::string> GetRsaKeyPairNames(const std::string& base,
                                                       const std::string& dir)
{
    return {kit::path::Join({dir, base + "-private.key"}),
            kit::path::Join({dir, base + "-public.key"})};
}

CryptoPP::InvertibleRSAFunction LoadPrivateKey(const std::string& path)
{
    return LoadKeyFile<CryptoPP::InvertibleRSAFunction>(path);
}

CryptoPP::RSAFunction LoadPublicKey(const std::string& path)
{
    return LoadKeyFile<CryptoPP::RSAFunction>(path);
}

std::vector<uint8_t> GetPrivateKeyBytesFromFile(const std::string& path)
{
    return PrivateKeyToDer(LoadPrivateKey(path));
}

std::vector<uint8_t> GetPublicKeyBytesFromFile(const std::string& path)
{
    return PublicKeyToDer(LoadPublicKey(path));
}

void GetPublicKey(const std::vector<uint8_t>& der, CryptoPP::RSAFunction& key)
{
    key = PublicKeyFromDer(der);
}

bool ComparePublicKeys(const CryptoPP::RSAFunction& a, const CryptoPP::RSAFunction& b)
{
    return a.GetModulus() == b.GetModulus() && a.GetPublicExponent() == b.GetPublicExponent();
}

} // namespace tarv_sec
