#include <algorithm>
#include <crypto++/files.h>
#include <fstream>
#include <kit/errors.h>
#include <kit/ostreambuf.h>
#include <limits>
#include <security/errors.h>
#include <security/internal/file_paths.h>
#include <security/internal/plaintext_buffers.h>
#include <security/twofish_cfb.h>
#include <security/twofish_cipher_stream.h>
#include <stdexcept>

namespace tarv_sec {

namespace {

constexpr std::size_t kIvSize = 16;

void CopyStream(std::istream& in, std::ostream& out)
{
    CryptoPP::FileSource source(in, true, new CryptoPP::FileSink(out));
}

// Everything from the read position to the end. Room for `expected` bytes,
// and the read that finds the end, is made at once; only ciphertext passes
// through here, so growing beyond that frees nothing secret. The measure is
// not trusted beyond reason: a directory may claim any size.
std::string ReadRest(std::istream& in, std::size_t expected)
{
    constexpr std::size_t kPiece = 64 * 1024;
    constexpr std::size_t kLargestReservation = 64 * 1024 * 1024;
    std::string data;
    data.reserve(std::min(expected, kLargestReservation) + 1);
    while (in.good()) {
        const std::size_t start = data.size();
        const std::size_t piece = data.capacity() > start ? data.capacity() - start : kPiece;
        data.resize(start + piece);
        in.read(data.data() + start, static_cast<std::streamsize>(piece));
        data.resize(start + static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) {
        throw kit::IoError("Stream is not readable.");
    }
    return data;
}

} // namespace

TwoFishCipherStream::TwoFishCipherStream() = default;

TwoFishCipherStream::TwoFishCipherStream(const std::string& path, const std::vector<uint8_t>& key,
                                         const std::vector<uint8_t>& iv)
    : CipherStream(key)
    , m_iv(iv)
{
    if (path.empty()) {
        return;
    }
    std::ifstream file(PathFromUtf8(path), std::ios::in | std::ios::binary | std::ios::ate);
    if (!file.good()) {
        throw kit::IoError(path + " is not readable");
    }
    unsigned long long expected = static_cast<unsigned long long>(file.tellg());
    file.seekg(0);
    if (!Key().empty() && m_iv.empty()) {
        if (expected < kIvSize) {
            throw std::runtime_error(path + " is too short to hold an initialisation vector.");
        }
        expected -= kIvSize;
    }
    try {
        Load(file, static_cast<std::size_t>(expected));
    } catch (const kit::IoError&) {
        // Opens but does not read: a directory, or a file without a size.
        throw kit::IoError(path + " is not readable");
    }
    if (expected != GetDataSize()) {
        throw std::runtime_error("CipherStream failed to extract all data from " + path);
    }
}

TwoFishCipherStream::TwoFishCipherStream(std::istream& in, const std::vector<uint8_t>& key,
                                         const std::vector<uint8_t>& iv)
    : CipherStream(key)
    , m_iv(iv)
{
    Load(in, 0);
}

TwoFishCipherStream::TwoFishCipherStream(const std::vector<uint8_t>& data,
                                         const std::vector<uint8_t>& key,
                                         const std::vector<uint8_t>& iv)
    : CipherStream(key)
    , m_iv(iv)
{
    std::string content(data.begin(), data.end());
    if (Encrypts()) {
        TwoFishDecryptInPlace(Key(), m_iv, content);
    }
    Adopt(std::move(content));
}

TwoFishCipherStream::TwoFishCipherStream(TwoFishCipherStream&& other) = default;

TwoFishCipherStream& TwoFishCipherStream::operator=(TwoFishCipherStream&& other)
{
    if (this != &other) {
        CipherStream::operator=(std::move(other));
        m_iv = other.m_iv;
    }
    return *this;
}

TwoFishCipherStream::~TwoFishCipherStream() = default;

void TwoFishCipherStream::SetInitVector(const std::vector<uint8_t>& iv)
{
    m_iv = iv;
}

std::vector<uint8_t> TwoFishCipherStream::GetEncryptedBytes()
{
    CheckCanEncrypt();
    std::stringstream& plain = GetStream();
    std::vector<uint8_t> result(GetDataSize());
    plain.rdbuf()->pubseekpos(0, std::ios::out);
    kit::ostreambuf buffer(result);
    std::ostream out(&buffer);
    if (Encrypts()) {
        TwoFishBlockEncrypt(Key(), m_iv, plain, out);
    } else {
        CopyStream(plain, out);
    }
    // Reading to the end set eof and fail; left set, they would silently
    // swallow everything the caller writes next.
    plain.clear();
    return result;
}

void TwoFishCipherStream::WriteToFile(const std::string& path)
{
    CheckCanEncrypt();
    // Loading measures the file in 32 bits.
    CheckWritableSize(std::numeric_limits<uint32_t>::max());
    if (Encrypts()) {
        // Keyed before the file is opened: a key or IV the cipher refuses
        // must not cost the old file anything.
        (void)TwoFishBlockEncrypt(Key(), m_iv, std::vector<uint8_t>{});
    }
    std::stringstream& plain = GetStream();
    WriteFileWith(path, [&](std::ostream& file) {
        if (Encrypts()) {
            TwoFishBlockEncrypt(Key(), m_iv, plain, file);
        } else {
            CopyStream(plain, file);
        }
    });
    plain.clear();
}

bool TwoFishCipherStream::Encrypts() const
{
    return !Key().empty() && !m_iv.empty();
}

void TwoFishCipherStream::CheckCanEncrypt() const
{
    if (!Key().empty() && m_iv.empty()) {
        throw CipherStreamWriteError(
            "Unable to write encrypted data without an initialisation vector.");
    }
}

void TwoFishCipherStream::Load(std::istream& in, std::size_t expected)
{
    if (!Key().empty() && m_iv.empty()) {
        std::vector<uint8_t> iv(kIvSize);
        in.read(reinterpret_cast<char*>(iv.data()), static_cast<std::streamsize>(iv.size()));
        if (in.bad()) {
            throw kit::IoError("Stream is not readable.");
        }
        if (in.gcount() != static_cast<std::streamsize>(iv.size())) {
            throw std::runtime_error(
                "Encrypted data is too short to hold an initialisation vector.");
        }
        m_iv = std::move(iv);
    }
    // Decrypted where it was read, in a buffer that the stream then takes
    // over: plaintext never passes through a buffer that grows.
    std::string content = ReadRest(in, expected);
    if (!Key().empty()) {
        TwoFishDecryptInPlace(Key(), m_iv, content);
    }
    Adopt(std::move(content));
}

} // namespace tarv_sec
