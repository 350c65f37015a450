#include <algorithm>
#include <crypto++/filters.h>
#include <crypto++/osrng.h>
#include <crypto++/sha.h>
#include <security/errors.h>
#include <security/internal/rsa_key_coding.h>
#include <security/internal/wiping.h>
#include <security/rsa_encryption.h>

namespace tarv_sec {

namespace {

using OaepEncryptor = CryptoPP::RSAES<CryptoPP::OAEP<CryptoPP::SHA1>>::Encryptor;
using OaepDecryptor = CryptoPP::RSAES<CryptoPP::OAEP<CryptoPP::SHA1>>::Decryptor;

} // namespace

void RsaEncrypt(const CryptoPP::RSAFunction& key, const std::vector<uint8_t>& plain,
                std::vector<uint8_t>& out)
{
    const OaepEncryptor encryptor(key);
    const std::size_t pieceLength = encryptor.FixedMaxPlaintextLength();
    const std::size_t blockLength = encryptor.FixedCiphertextLength();
    // A key without a modulus, or one too short for OAEP's padding, leaves no
    // room for a single byte per block.
    if (pieceLength == 0) {
        throw CryptoPP::InvalidArgument("RsaEncrypt: the key is too small for OAEP encryption.");
    }
    const std::size_t blocks = (plain.size() + pieceLength - 1) / pieceLength;

    std::vector<uint8_t> cipher(blocks * blockLength);
    for (std::size_t i = 0; i < blocks; ++i) {
        const std::size_t offset = i * pieceLength;
        const std::size_t length = std::min(pieceLength, plain.size() - offset);
        CryptoPP::AutoSeededRandomPool rng;
        CryptoPP::StringSource source(
            plain.data() + offset, length, true,
            new CryptoPP::PK_EncryptorFilter(
                rng, encryptor,
                new CryptoPP::ArraySink(cipher.data() + i * blockLength, blockLength)));
    }
    out = std::move(cipher);
}

std::vector<uint8_t> RsaEncrypt(const std::vector<uint8_t>& publicKeyDer,
                                const std::vector<uint8_t>& plain)
{
    std::vector<uint8_t> out;
    RsaEncrypt(PublicKeyFromDer(publicKeyDer), plain, out);
    return out;
}

void RsaDecrypt(const CryptoPP::InvertibleRSAFunction& key, const std::vector<uint8_t>& cipher,
                std::vector<uint8_t>& out)
{
    const OaepDecryptor decryptor(key);
    const std::size_t blockLength = decryptor.FixedCiphertextLength();
    const std::size_t pieceLength = decryptor.MaxPlaintextLength(blockLength);
    if (pieceLength == 0) {
        throw CryptoPP::InvalidArgument("RsaDecrypt: the key is too small for OAEP decryption.");
    }
    if (cipher.size() % blockLength != 0) {
        throw RsaDecryptFailed("encryptedByteCount must be a multiple of FixedCiphertextLength");
    }
    const std::size_t blocks = cipher.size() / blockLength;

    std::vector<uint8_t> plain(blocks * pieceLength);
    const WipeOnRelease wipe(plain);
    std::size_t total = 0;
    for (std::size_t i = 0; i < blocks; ++i) {
        CryptoPP::AutoSeededRandomPool rng;
        CryptoPP::ArraySink* sink = new CryptoPP::ArraySink(plain.data() + total, pieceLength);
        CryptoPP::StringSource source(cipher.data() + i * blockLength, blockLength, true,
                                      new CryptoPP::PK_DecryptorFilter(rng, decryptor, sink));
        total += static_cast<std::size_t>(sink->TotalPutLength());
    }
    plain.resize(total);
    out = std::move(plain);
}

std::vector<uint8_t> RsaDecrypt(const std::vector<uint8_t>& privateKeyDer,
                                const std::vector<uint8_t>& cipher)
{
    std::vector<uint8_t> out;
    RsaDecrypt(PrivateKeyFromDer(privateKeyDer), cipher, out);
    return out;
}

} // namespace tarv_sec
