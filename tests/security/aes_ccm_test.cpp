#include <climits>
#include <crypto++/cryptlib.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <kit/errors.h>
#include <random>
#include <security/aes_ccm.h>
#include <security/errors.h>
#include <sstream>

using bytes = std::vector<uint8_t>;
using namespace tarv_sec;
namespace fs = std::filesystem;

namespace {

bytes Pattern(std::size_t n, uint8_t seed = 1)
{
    bytes data(n);
    for (std::size_t i = 0; i < n; ++i)
        data[i] = static_cast<uint8_t>(seed + i * 31);
    return data;
}

bytes ToBytes(const std::string& text)
{
    return bytes(text.begin(), text.end());
}
std::string ToText(const bytes& data)
{
    return std::string(data.begin(), data.end());
}
std::string ReadFile(const fs::path& path)
{
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}
bytes Nonce(const bytes& blob)
{
    return bytes(blob.begin(), blob.begin() + AesNonceSize);
}
bytes Body(const bytes& blob)
{
    return bytes(blob.begin() + AesNonceSize, blob.end());
}

// What an opening form released: the plaintext, or nothing when the tag failed.
struct Opened
{
    bool verified;
    bytes plain;
};
using Opener = std::function<Opened(const bytes& key, const bytes& blob)>;

template <class Open>
Opened OpenOrCatch(Open open)
{
    try {
        return {true, open()};
    } catch (const AesAuthenticationFailed& error) {
        EXPECT_STREQ(error.what(), "Unable to authenticate.");
        return {false, {}};
    }
}

class AesCcmTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // Every opening form of a sealed blob.
    std::vector<std::pair<std::string, Opener>> Openers() const
    {
        return {
            {"vector",
             [](const bytes& key, const bytes& blob) {
                 bytes out{'o', 'l', 'd'};
                 const bool verified = AesAuthenticateDecrypt(key, Nonce(blob), Body(blob), out);
                 return Opened{verified, out};
             }},
            {"value",
             [](const bytes& key, const bytes& blob) {
                 return OpenOrCatch(
                     [&] { return AesAuthenticateDecrypt(key, Nonce(blob), Body(blob)); });
             }},
            {"read iv",
             [](const bytes& key, const bytes& blob) {
                 return OpenOrCatch([&] { return AesAuthenticateDecryptReadIV(key, blob); });
             }},
            {"stream",
             [](const bytes& key, const bytes& blob) {
                 std::istringstream in("skip" + ToText(Body(blob)));
                 in.ignore(4); // opening starts at the current read position
                 std::ostringstream out;
                 const bool verified = AesAuthenticateDecrypt(key, Nonce(blob), in, out);
                 EXPECT_EQ(in.peek(), EOF);
                 return Opened{verified, ToBytes(out.str())};
             }},
            {"file",
             [dir = m_dir](const bytes& key, const bytes& blob) {
                 const fs::path path = dir / "plain.bin";
                 std::ofstream(path) << "previous";
                 const bool verified = AesAuthenticateDecryptToFile(key, blob, path.string());
                 EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1);
                 const std::string written = ReadFile(path);
                 EXPECT_TRUE(verified || written == "previous");
                 return Opened{verified, verified ? ToBytes(written) : bytes{}};
             }},
        };
    }

    // Unique per run: several builds may run this test at the same time.
    const fs::path m_dir =
        fs::path(::testing::TempDir()) / ("aes_ccm_test_" + std::to_string(std::random_device{}()));
};

} // namespace

TEST_F(AesCcmTest, EverySealingFormOpensWithEveryOpeningFormForEachKeySize)
{
    for (const std::size_t keySize : {16u, 24u, 32u}) {
        for (const std::size_t length : {0u, 1u, 16u, 17u, 1000u, 200000u}) {
            SCOPED_TRACE(testing::Message() << "key " << keySize << ", length " << length);
            const bytes key = Pattern(keySize, 7);
            const bytes plain = Pattern(length);
            const bytes nonce = GenerateAesIV();
            const bytes body = AesAuthenticateEncrypt(key, nonce, plain);
            bytes sealed = nonce;
            sealed.insert(sealed.end(), body.begin(), body.end());

            std::istringstream in("ab" + ToText(plain));
            in.ignore(2);
            std::ostringstream streamed;
            AesAuthenticateEncrypt(key, nonce, in, streamed);
            EXPECT_EQ(streamed.str(), ToText(body));

            const bytes created = AesAuthenticateEncryptCreateIV(key, plain);
            EXPECT_EQ(created.size(), GetAesEncryptedLength(static_cast<unsigned>(length)));
            for (const bytes& blob : {sealed, created}) {
                for (const auto& [name, open] : Openers()) {
                    const Opened opened = open(key, blob);
                    EXPECT_TRUE(opened.verified && opened.plain == plain) << name;
                }
            }
        }
    }
}

TEST_F(AesCcmTest, AnyFlippedBitOrWrongKeyFailsEveryFormAndReleasesNothing)
{
    const bytes key = GenerateAesKey();
    const bytes blob = AesAuthenticateEncryptCreateIV(key, Pattern(20));
    bytes wrongKey = key;
    wrongKey[0] ^= 0x80;
    std::vector<std::pair<bytes, bytes>> attempts{{wrongKey, blob}};
    for (std::size_t bit = 0; bit < blob.size() * 8; ++bit) {
        attempts.emplace_back(key, blob);
        attempts.back().second[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
    }

    testing::internal::CaptureStdout();
    int failures = 0;
    for (const auto& [name, open] : Openers()) {
        for (std::size_t i = 0; i < attempts.size(); ++i, ++failures) {
            const Opened opened = open(attempts[i].first, attempts[i].second);
            EXPECT_TRUE(!opened.verified && opened.plain.empty()) << name << " attempt " << i;
        }
    }
    std::istringstream console(testing::internal::GetCapturedStdout());
    int reported = 0;
    for (std::string line; std::getline(console, line);)
        reported += line == "Authentication failed." ? 1 : 0;
    EXPECT_EQ(reported, failures);
}

TEST_F(AesCcmTest, InputTooShortForTagOrNonceIsRefusedAndWritesNothing)
{
    const bytes key = GenerateAesKey();
    const bytes nonce = GenerateAesIV();
    bytes out;
    EXPECT_THROW((void)AesAuthenticateDecrypt(key, nonce, bytes(15), out), AesAuthenticationFailed);
    std::istringstream in(std::string(15, '\0'));
    std::ostringstream sink;
    EXPECT_THROW((void)AesAuthenticateDecrypt(key, nonce, in, sink), AesAuthenticationFailed);
    EXPECT_THROW((void)AesAuthenticateDecryptReadIV(key, bytes(27)), AesAuthenticationFailed);
    EXPECT_THROW((void)AesAuthenticateDecryptToFile(key, bytes(27), (m_dir / "x").string()),
                 AesAuthenticationFailed);
    EXPECT_TRUE(sink.str().empty() && fs::is_empty(m_dir));
}

TEST_F(AesCcmTest, NonceKeyAndMessageLengthsAreHeldToWhatCcmAllows)
{
    const bytes key = GenerateAesKey();
    const bytes plain = Pattern(40);
    for (const std::size_t nonceSize : {7u, 13u}) {
        const bytes nonce = Pattern(nonceSize);
        EXPECT_EQ(AesAuthenticateDecrypt(key, nonce, AesAuthenticateEncrypt(key, nonce, plain)),
                  plain);
    }
    for (const std::size_t nonceSize : {0u, 6u, 14u}) {
        EXPECT_THROW((void)AesAuthenticateEncrypt(key, Pattern(nonceSize), plain),
                     CryptoPP::InvalidArgument);
        EXPECT_THROW((void)AesAuthenticateDecrypt(key, Pattern(nonceSize), Pattern(56)),
                     CryptoPP::InvalidArgument);
    }
    for (const std::size_t keySize : {0u, 15u, 17u, 33u}) {
        bytes out{'k', 'e', 'p', 't'};
        EXPECT_THROW(AesAuthenticateEncrypt(Pattern(keySize), GenerateAesIV(), plain, out),
                     CryptoPP::InvalidArgument);
        EXPECT_EQ(ToText(out), "kept");
        EXPECT_THROW((void)AesAuthenticateDecrypt(Pattern(keySize), GenerateAesIV(), Pattern(56)),
                     CryptoPP::InvalidArgument);
    }
    // The length field has 15 - nonce size bytes: 2 for a 13-byte nonce, 3 for
    // the library's own 12-byte nonce.
    for (const auto& [nonceSize, largest] : {std::pair<std::size_t, std::size_t>{13, 0xFFFF},
                                             std::pair<std::size_t, std::size_t>{12, 0xFFFFFF}}) {
        const bytes nonce = Pattern(nonceSize);
        const bytes largestPlain(largest, 0x5A);
        bytes sealed = AesAuthenticateEncrypt(key, nonce, largestPlain);
        EXPECT_EQ(AesAuthenticateDecrypt(key, nonce, sealed), largestPlain);
        EXPECT_THROW((void)AesAuthenticateEncrypt(key, nonce, bytes(largest + 1)),
                     CryptoPP::InvalidArgument);
        sealed.push_back(0);
        EXPECT_THROW((void)AesAuthenticateDecrypt(key, nonce, sealed), CryptoPP::InvalidArgument);
    }
}

TEST_F(AesCcmTest, FilesAreReplacedWholeAndVectorsMayBeTheirOwnOutput)
{
    const bytes key = GenerateAesKey();
    const bytes plain = Pattern(300);
    const bytes blob = AesAuthenticateEncryptCreateIV(key, plain);
    const std::string path =
        m_dir.string() + "/entschl\xC3\xBCsselt.bin"; // UTF-8, as callers pass it
    std::ofstream(path) << std::string(5000, 'p');
    EXPECT_TRUE(AesAuthenticateDecryptToFile(key, blob, path));
    EXPECT_EQ(ReadFile(path), ToText(plain));
    const std::string unwritable = (m_dir / "missing" / "plain.bin").string();
    try {
        (void)AesAuthenticateDecryptToFile(key, blob, unwritable);
        ADD_FAILURE() << "no error";
    } catch (const kit::IoError& error) {
        EXPECT_EQ(error.what(), "Unable to write to " + unwritable);
    }

    const bytes nonce = GenerateAesIV();
    bytes buffer = plain;
    AesAuthenticateEncrypt(key, nonce, buffer, buffer);
    EXPECT_EQ(buffer, AesAuthenticateEncrypt(key, nonce, plain));
    EXPECT_TRUE(AesAuthenticateDecrypt(key, nonce, buffer, buffer));
    EXPECT_EQ(buffer, plain);
}

TEST(AesCcmMaterialTest, LengthsWrapAndKeysAndNoncesAreFresh)
{
    EXPECT_EQ(GetAesEncryptedLength(0), 28u);
    EXPECT_EQ(GetAesEncryptedLength(UINT_MAX), 27u);
    EXPECT_EQ(GenerateAesKey().size(), 16u);
    EXPECT_EQ(GenerateAesIV().size(), 12u);
    EXPECT_NE(GenerateAesIV(), GenerateAesIV());
}
