#include "support.h"

#include <crypto++/misc.h>
#include <cstdlib>
#include <cstring>
#include <new>
#include <security/aes_ccm.h>
#include <security/aes_cipher_stream.h>
#include <security/rsa_envelope.h>
#include <security/rsa_keys.h>
#include <security/twofish_cfb.h>
#include <security/twofish_cipher_stream.h>

// Memory that held a key or plaintext must be wiped before it is given back:
// a later allocation, a core dump or a swapped-out page would expose it. This
// program replaces the global operator new and delete so that it can keep a
// copy of every block freed while a library call runs, then look in those
// copies for bytes that must not be there.

namespace {

// Blocks are handed out behind a header that records their size, so that a
// freed block is copied exactly, without stale bytes beyond its end. The
// copies live in plain arrays and malloc: the recorder must not allocate
// through itself.
constexpr std::size_t kHeader = alignof(std::max_align_t);
constexpr std::size_t kMostBlocks = 1 << 16;
std::pair<unsigned char*, std::size_t> g_freed[kMostBlocks];
std::size_t g_freedCount = 0;
bool g_recording = false;

// Records what is freed from construction to destruction.
class FreedMemory
{
public:
    FreedMemory() { g_recording = true; }
    ~FreedMemory() { Clear(); }
    FreedMemory(const FreedMemory&) = delete;
    FreedMemory& operator=(const FreedMemory&) = delete;

    void Stop() { g_recording = false; }
    void Clear()
    {
        Stop();
        for (std::size_t i = 0; i < g_freedCount; ++i)
            std::free(g_freed[i].first);
        g_freedCount = 0;
    }

    // How many freed blocks hold `needle`.
    int Holding(const Bytes& needle) const
    {
        int found = 0;
        for (std::size_t i = 0; i < g_freedCount; ++i) {
            const auto& [copy, size] = g_freed[i];
            found += ::memmem(copy, size, needle.data(), needle.size()) != nullptr ? 1 : 0;
        }
        return found;
    }
};

// Test data is wiped before it is freed, so that only the library's leftovers
// are found.
template <class Container>
void WipeOwn(Container& data)
{
    CryptoPP::SecureWipeBuffer(reinterpret_cast<unsigned char*>(data.data()), data.size());
}

const std::string kMarkerText = "<plaintext marker 7f3a>";
const Bytes kMarker(kMarkerText.begin(), kMarkerText.end());

// A document of `size` bytes made of markers.
Bytes Document(std::size_t size)
{
    Bytes document(size);
    for (std::size_t i = 0; i < size; ++i)
        document[i] = kMarker[i % kMarker.size()];
    return document;
}

// A slice from the middle of a number's big-endian bytes.
Bytes Slice(const CryptoPP::Integer& number)
{
    Bytes encoded(number.MinEncodedSize());
    number.Encode(encoded.data(), encoded.size());
    Bytes slice(encoded.begin() + 64, encoded.begin() + 96);
    WipeOwn(encoded);
    return slice;
}

class WipingTest : public ::testing::Test
{
protected:
    std::string Path(const std::string& name) const { return m_dir / name; }
    const ScratchDir m_dir;
};

} // namespace

namespace {

void Release(void* pointer) noexcept
{
    if (pointer == nullptr)
        return;
    unsigned char* block = static_cast<unsigned char*>(pointer) - kHeader;
    std::size_t size = 0;
    std::memcpy(&size, block, sizeof size);
    if (g_recording && g_freedCount < kMostBlocks) {
        auto* copy = static_cast<unsigned char*>(std::malloc(size + 1));
        std::memcpy(copy, pointer, size);
        g_freed[g_freedCount++] = {copy, size};
    }
    std::free(block);
}

} // namespace

// The array and aligned forms end up here, or do not come near the library.
void* operator new(std::size_t size)
{
    auto* block = static_cast<unsigned char*>(std::malloc(kHeader + size));
    if (block == nullptr)
        throw std::bad_alloc();
    std::memcpy(block, &size, sizeof size);
    return block + kHeader;
}

void operator delete(void* pointer) noexcept
{
    Release(pointer);
}

void operator delete(void* pointer, std::size_t) noexcept
{
    Release(pointer);
}

TEST_F(WipingTest, TheRecorderFindsWhatIsFreedUnwiped)
{
    FreedMemory freed;
    auto* leftover = new std::string(kMarkerText + kMarkerText);
    delete leftover;
    EXPECT_GE(freed.Holding(kMarker), 1);
}

TEST_F(WipingTest, LoadingAndSavingCipherStreamsFreesNoPlaintext)
{
    const Bytes aesKey(16, 0x21);
    const Bytes twofishKey(32, 0x42);
    const Bytes iv(16, 0x63);
    Bytes document = Document(64 * 1024);
    WriteFile(Path("aes"), AsString(tarv_sec::AesAuthenticateEncryptCreateIV(aesKey, document)));
    const Bytes encrypted = tarv_sec::TwoFishBlockEncrypt(twofishKey, iv, document);
    WriteFile(Path("twofish"), AsString(encrypted));
    Bytes framed = iv;
    framed.insert(framed.end(), encrypted.begin(), encrypted.end());
    WriteFile(Path("framed"), AsString(framed));
    WipeOwn(document);

    FreedMemory freed;
    const auto check = [&](tarv_sec::CipherStream& stream) {
        EXPECT_EQ(stream.GetDataSize(), 64u * 1024u);
        EXPECT_EQ(stream.GetStream().view().find(kMarkerText), 0u);
        stream.WriteToFile(Path("saved"));
    };
    {
        tarv_sec::AesCipherStream fromFile(Path("aes"), aesKey);
        check(fromFile);
        std::ifstream in(Path("aes"), std::ios::binary);
        tarv_sec::AesCipherStream fromStream(in, aesKey);
        check(fromStream);
        tarv_sec::TwoFishCipherStream withIv(Path("twofish"), twofishKey, iv);
        check(withIv);
        tarv_sec::TwoFishCipherStream ivInFile(Path("framed"), twofishKey, {});
        check(ivInFile);
        std::ifstream twofishIn(Path("twofish"), std::ios::binary);
        tarv_sec::TwoFishCipherStream twofishFromStream(twofishIn, twofishKey, iv);
        check(twofishFromStream);
        tarv_sec::TwoFishCipherStream fromBytes(encrypted, twofishKey, iv);
        check(fromBytes);
        fromBytes.GetStream().seekg(0);
        EXPECT_EQ(fromBytes.GetEncryptedBytes(), encrypted);
    }
    // Small plaintexts, which file streams would hold in a buffer of their own.
    Bytes small = Document(300);
    const Bytes sealed = tarv_sec::AesAuthenticateEncryptCreateIV(aesKey, small);
    WipeOwn(small);
    EXPECT_TRUE(tarv_sec::AesAuthenticateDecryptToFile(aesKey, sealed, Path("small")));
    freed.Stop();
    EXPECT_EQ(freed.Holding(kMarker), 0);
}

TEST_F(WipingTest, KeyFilesAndEnvelopesFreeNoPrivateKeyOrPlaintext)
{
    std::pair<std::string, std::string> paths;
    FreedMemory generating;
    paths = tarv_sec::GenerateRsaKeyPair("wiped", m_dir.path().string());
    generating.Stop();
    const auto& [privatePath, publicPath] = paths;
    const CryptoPP::InvertibleRSAFunction key = tarv_sec::LoadPrivateKey(privatePath);
    const Bytes exponent = Slice(key.GetPrivateExponent());
    const Bytes prime = Slice(key.GetPrime1());
    EXPECT_EQ(generating.Holding(exponent) + generating.Holding(prime), 0);
    generating.Clear();

    Bytes message = Document(2000);
    const Bytes publicDer = tarv_sec::GetPublicKeyBytesFromFile(publicPath);
    Bytes privateDer = tarv_sec::GetPrivateKeyBytesFromFile(privatePath);
    const Bytes envelope = tarv_sec::RsaSignAndEncrypt(publicDer, privateDer, message);
    WipeOwn(message);

    FreedMemory opening;
    (void)tarv_sec::LoadPrivateKey(privatePath);
    Bytes reread = tarv_sec::GetPrivateKeyBytesFromFile(privatePath);
    EXPECT_TRUE(reread == privateDer);
    WipeOwn(reread);
    Bytes opened = tarv_sec::RsaDecryptAndVerify(publicDer, privateDer, publicDer, envelope);
    EXPECT_EQ(opened.size(), 2000u);
    WipeOwn(opened);
    WipeOwn(privateDer);
    opening.Stop();
    EXPECT_EQ(opening.Holding(exponent) + opening.Holding(prime), 0);
    EXPECT_EQ(opening.Holding(kMarker), 0);
}
