#include <crypto++/files.h>
#include <crypto++/filters.h>
#include <crypto++/modes.h>
#include <crypto++/twofish.h>
#include <kit/errors.h>
#include <kit/format.h>
#include <kit/ostreambuf.h>
#include <security/internal/plaintext_buffers.h>
#include <security/internal/wiping.h>
#include <security/twofish_cfb.h>
#include <stdexcept>

using Bytes = std::vector<uint8_t>;

namespace {

constexpr std::size_t kIvSize = CryptoPP::Twofish::BLOCKSIZE;

void RequireIv(const Bytes& iv)
{
    if (iv.size() != kIvSize) {
        throw std::invalid_argument(
            kit::format("initVector size %d is wrong.", static_cast<int>(iv.size())));
    }
}

template <typename Mode>
Mode MakeCipher(const Bytes& key, const Bytes& iv)
{
    RequireIv(iv);
    return Mode(key.data(), key.size(), iv.data());
}

template <typename Mode>
void TransformInto(const Bytes& key, const Bytes& iv, const Bytes& data, Bytes& out)
{
    if (out.size() < data.size()) {
        throw std::invalid_argument(kit::format(
            "Output of %zu bytes cannot hold %zu bytes of data.", out.size(), data.size()));
    }
    Mode cipher = MakeCipher<Mode>(key, iv);
    // CFB needs no padding, so the cipher writes straight into `out` without
    // a filter's staging buffer in between.
    cipher.ProcessData(out.data(), data.data(), data.size());
}

template <typename Mode>
Bytes Transform(const Bytes& key, const Bytes& iv, const Bytes& data)
{
    Bytes out(data.size());
    TransformInto<Mode>(key, iv, data, out);
    return out;
}

template <typename Mode>
void TransformStream(const Bytes& key, const Bytes& iv, std::istream& in, std::ostream& out)
{
    Mode cipher = MakeCipher<Mode>(key, iv);
    CryptoPP::FileSource source(
        in, true, new CryptoPP::StreamTransformationFilter(cipher, new CryptoPP::FileSink(out)));
}

// Runs at most `limit` bytes of `in` through the cipher into `out`. The
// callers' output buffers are sized for exactly `limit` bytes, so reading
// further could only overrun them.
template <typename Mode>
void TransformBounded(const Bytes& key, const Bytes& iv, std::istream& in, std::ostream& out,
                      unsigned long long limit)
{
    Mode cipher = MakeCipher<Mode>(key, iv);
    CryptoPP::FileSource source(
        in, false, new CryptoPP::StreamTransformationFilter(cipher, new CryptoPP::FileSink(out)));
    source.Pump(limit);
    source.AttachedTransformation()->MessageEnd();
}

Bytes ZeroedResult(unsigned long long size, std::size_t header = 0)
{
    if (size > Bytes().max_size() - header) {
        throw std::length_error(kit::format("A result of %llu bytes is too large.", size));
    }
    return Bytes(static_cast<std::size_t>(size) + header);
}

Bytes EncryptStream(std::istream& in, unsigned long long size, const Bytes& key, const Bytes& iv,
                    bool withIv)
{
    if (!in.good()) {
        throw kit::IoError("Stream is not readable.");
    }
    RequireIv(iv);
    const Bytes initVector = iv;
    Bytes result = ZeroedResult(size, withIv ? kIvSize : 0);
    kit::ostreambuf buffer(result);
    std::ostream out(&buffer);
    if (withIv) {
        out.write(reinterpret_cast<const char*>(initVector.data()), kIvSize);
    }
    TransformBounded<CryptoPP::CFB_Mode<CryptoPP::Twofish>::Encryption>(key, initVector, in, out,
                                                                        size);
    return result;
}

} // namespace

namespace tarv_sec {

Bytes TwoFishBlockEncrypt(const Bytes& key, const Bytes& iv, const Bytes& data)
{
    return Transform<CryptoPP::CFB_Mode<CryptoPP::Twofish>::Encryption>(key, iv, data);
}

void TwoFishBlockEncrypt(const Bytes& key, const Bytes& iv, const Bytes& data, Bytes& out)
{
    TransformInto<CryptoPP::CFB_Mode<CryptoPP::Twofish>::Encryption>(key, iv, data, out);
}

void TwoFishBlockEncrypt(const Bytes& key, const Bytes& iv, std::istream& in, std::ostream& out)
{
    TransformStream<CryptoPP::CFB_Mode<CryptoPP::Twofish>::Encryption>(key, iv, in, out);
}

Bytes TwoFishBlockDecrypt(const Bytes& key, const Bytes& iv, const Bytes& data)
{
    return Transform<CryptoPP::CFB_Mode<CryptoPP::Twofish>::Decryption>(key, iv, data);
}

void TwoFishBlockDecrypt(const Bytes& key, const Bytes& iv, const Bytes& data, Bytes& out)
{
    TransformInto<CryptoPP::CFB_Mode<CryptoPP::Twofish>::Decryption>(key, iv, data, out);
}

void TwoFishBlockDecrypt(const Bytes& key, const Bytes& iv, std::istream& in, std::ostream& out)
{
    TransformStream<CryptoPP::CFB_Mode<CryptoPP::Twofish>::Decryption>(key, iv, in, out);
}

void TwoFishDecryptInPlace(const Bytes& key, const Bytes& iv, std::string& data)
{
    auto cipher = MakeCipher<CryptoPP::CFB_Mode<CryptoPP::Twofish>::Decryption>(key, iv);
    auto* bytes = reinterpret_cast<uint8_t*>(data.data());
    cipher.ProcessData(bytes, bytes, data.size());
}

} // namespace tarv_sec

Bytes generic_encrypt(std::istream& in, unsigned long long size, const Bytes& key, const Bytes& iv)
{
    return EncryptStream(in, size, key, iv, true);
}

Bytes generic_noinitval_encrypt(std::istream& in, unsigned long long size, const Bytes& key,
                                const Bytes& iv)
{
    return EncryptStream(in, size, key, iv, false);
}

Bytes generic_decrypt(std::istream& in, unsigned long long size, Bytes key)
{
    const tarv_sec::WipeOnRelease wipe(key);
    Bytes result = ZeroedResult(size);
    kit::ostreambuf buffer(result);
    std::ostream out(&buffer);
    Bytes iv(kIvSize);
    in.read(reinterpret_cast<char*>(iv.data()), static_cast<std::streamsize>(iv.size()));
    if (in.gcount() != static_cast<std::streamsize>(iv.size())) {
        throw kit::IoError("Stream ended before the 16-byte initialisation vector.");
    }
    TransformBounded<CryptoPP::CFB_Mode<CryptoPP::Twofish>::Decryption>(key, iv, in, out, size);
    return result;
}
