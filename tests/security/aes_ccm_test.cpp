#include <climits>
#include <crypto++/cryptlib.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <kit/errors.h>
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

bytes ReadFile(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return bytes(std::istreambuf_iterator<char>(file), {});
}

void WriteFile(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

bytes Head(const bytes& blob)
{
    return bytes(blob.begin(), blob.begin() + AesNonceSize);
}
bytes Tail(const bytes& blob)
{
    return bytes(blob.begin() + AesNonceSize, blob.end());
}

// What one way of opening a sealed blob released: the plaintext, or nothing
// at all when the tag did not verify.
struct Opened
{
    bool verified;
    bytes plain;
};

class AesCcmTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::path(::testing::TempDir()) /
                ("aes_ccm_" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // Every opening overload, each checked for leaving no unauthenticated
    // output behind.
    std::vector<std::pair<std::string, std::function<Opened(const bytes&, const bytes&)>>> Openers()
    {
        return {
            {"vector",
             [](const bytes& key, const bytes& blob) {
                 bytes out{'o', 'l', 'd'};
                 const bool verified = AesAuthenticateDecrypt(key, Head(blob), Tail(blob), out);
                 return Opened{verified, out};
             }},
            {"value",
             [](const bytes& key, const bytes& blob) {
                 try {
                     return Opened{true, AesAuthenticateDecrypt(key, Head(blob), Tail(blob))};
                 } catch (const AesAuthenticationFailed& error) {
                     EXPECT_STREQ(error.what(), "Unable to authenticate.");
                     return Opened{false, {}};
                 }
             }},
            {"read iv",
             [](const bytes& key, const bytes& blob) {
                 try {
                     return Opened{true, AesAuthenticateDecryptReadIV(key, blob)};
                 } catch (const AesAuthenticationFailed& error) {
                     EXPECT_STREQ(error.what(), "Unable to authenticate.");
                     return Opened{false, {}};
                 }
             }},
            {"stream",
             [](const bytes& key, const bytes& blob) {
                 // Opening starts at the current read position.
                 const bytes tail = Tail(blob);
                 std::istringstream in("skip" + std::string(tail.begin(), tail.end()));
                 in.ignore(4);
                 std::ostringstream out;
                 const bool verified = AesAuthenticateDecrypt(key, Head(blob), in, out);
                 EXPECT_EQ(in.peek(), EOF);
                 const std::string text = out.str();
                 return Opened{verified, bytes(text.begin(), text.end())};
             }},
            {"file",
             [this](const bytes& key, const bytes& blob) {
                 const fs::path path = m_dir / "plain.bin";
                 WriteFile(path, "previous");
                 const bool verified = AesAuthenticateDecryptToFile(key, blob, path.string());
                 const bytes written = ReadFile(path);
                 EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), {}), 1);
                 if (!verified) {
                     EXPECT_EQ(written, bytes({'p', 'r', 'e', 'v', 'i', 'o', 'u', 's'}));
                 }
                 return Opened{verified, verified ? written : bytes{}};
             }},
        };
    }

    fs::path m_dir;
};

} // namespace

TEST_F(AesCcmTest, EverySealingFormOpensWithEveryOpeningFormForEachKeySize)
{
    for (const std::size_t keySize : {16u, 24u, 32u}) {
        const bytes key = Pattern(keySize, 7);
        for (const std::size_t length : {0u, 1u, 15u, 16u, 17u, 1000u, 200000u}) {
            SCOPED_TRACE(testing::Message() << "key " << keySize << ", length " << length);
            const bytes plain = Pattern(length);
            const bytes nonce = GenerateAesIV();

            bytes sealed = nonce;
            const bytes body = AesAuthenticateEncrypt(key, nonce, plain);
            sealed.insert(sealed.end(), body.begin(), body.end());

            std::istringstream in("ab" + std::string(plain.begin(), plain.end()));
            in.ignore(2);
            std::ostringstream streamed;
            AesAuthenticateEncrypt(key, nonce, in, streamed);
            EXPECT_EQ(in.peek(), EOF);
            EXPECT_EQ(streamed.str(), std::string(body.begin(), body.end()));

            const bytes created = AesAuthenticateEncryptCreateIV(key, plain);
            EXPECT_EQ(created.size(), GetAesEncryptedLength(static_cast<unsigned>(length)));
            EXPECT_NE(Head(created), nonce);

            for (const bytes& blob : {sealed, created}) {
                ASSERT_EQ(blob.size(), length + 28);
                for (const auto& [name, open] : Openers()) {
                    const Opened opened = open(key, blob);
                    EXPECT_TRUE(opened.verified) << name;
                    EXPECT_EQ(opened.plain, plain) << name;
                }
            }
        }
    }
}

TEST_F(AesCcmTest, AnyFlippedBitOrWrongKeyFailsEveryFormAndReleasesNothing)
{
    const bytes key = GenerateAesKey();
    const bytes blob = AesAuthenticateEncryptCreateIV(key, Pattern(20));
    const auto openers = Openers();

    testing::internal::CaptureStdout();
    int failures = 0;
    for (std::size_t bit = 0; bit < blob.size() * 8; ++bit) {
        bytes tampered = blob;
        tampered[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
        for (const auto& [name, open] : openers) {
            const Opened opened = open(key, tampered);
            EXPECT_FALSE(opened.verified) << name << " bit " << bit;
            EXPECT_TRUE(opened.plain.empty()) << name << " bit " << bit;
            ++failures;
        }
    }
    bytes otherKey = key;
    otherKey[0] ^= 0x80;
    for (const auto& [name, open] : openers) {
        EXPECT_FALSE(open(otherKey, blob).verified) << name;
        ++failures;
    }
    const std::string console = testing::internal::GetCapturedStdout();

    // One console line per failed check.
    std::istringstream lines(console);
    int reported = 0;
    for (std::string line; std::getline(lines, line);)
        reported += line == "Authentication failed." ? 1 : 0;
    EXPECT_EQ(reported, failures);
}

TEST_F(AesCcmTest, InputTooShortForTheTagOrNonceIsRefusedUpFront)
{
    const bytes key = GenerateAesKey();
    const bytes nonce = GenerateAesIV();
    const bytes shortCipher(15);
    bytes out{'x'};
    EXPECT_THROW((void)AesAuthenticateDecrypt(key, nonce, shortCipher, out),
                 AesAuthenticationFailed);
    EXPECT_THROW((void)AesAuthenticateDecrypt(key, nonce, shortCipher), AesAuthenticationFailed);
    std::istringstream in(std::string(15, '\0'));
    std::ostringstream sink;
    EXPECT_THROW((void)AesAuthenticateDecrypt(key, nonce, in, sink), AesAuthenticationFailed);
    EXPECT_TRUE(sink.str().empty());

    const bytes shortBlob(27);
    EXPECT_THROW((void)AesAuthenticateDecryptReadIV(key, shortBlob), AesAuthenticationFailed);
    const fs::path path = m_dir / "never";
    EXPECT_THROW((void)AesAuthenticateDecryptToFile(key, shortBlob, path.string()),
                 AesAuthenticationFailed);
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(AesCcmTest, NonceKeyAndMessageLengthsAreHeldToWhatCcmAllows)
{
    const bytes key = GenerateAesKey();
    const bytes plain = Pattern(40);
    for (const std::size_t nonceSize : {7u, 13u}) {
        const bytes nonce = Pattern(nonceSize, 3);
        EXPECT_EQ(AesAuthenticateDecrypt(key, nonce, AesAuthenticateEncrypt(key, nonce, plain)),
                  plain);
    }
    for (const std::size_t nonceSize : {0u, 6u, 14u}) {
        const bytes nonce = Pattern(nonceSize, 3);
        EXPECT_THROW((void)AesAuthenticateEncrypt(key, nonce, plain), CryptoPP::InvalidArgument);
        EXPECT_THROW((void)AesAuthenticateDecrypt(key, nonce, Pattern(56)),
                     CryptoPP::InvalidArgument);
    }
    for (const std::size_t keySize : {0u, 15u, 17u, 31u, 33u}) {
        const bytes badKey = Pattern(keySize);
        bytes out{'k', 'e', 'p', 't'};
        EXPECT_THROW(AesAuthenticateEncrypt(badKey, GenerateAesIV(), plain, out),
                     CryptoPP::InvalidArgument);
        EXPECT_EQ(out, bytes({'k', 'e', 'p', 't'}));
        EXPECT_THROW((void)AesAuthenticateDecrypt(badKey, GenerateAesIV(), Pattern(56)),
                     CryptoPP::InvalidArgument);
    }

    // The length field takes 15 - nonce size bytes: 2 for a 13-byte nonce, 3
    // for the library's own 12-byte nonce.
    for (const auto& [nonceSize, largest] : {std::pair<std::size_t, std::size_t>{13, 0xFFFF},
                                             std::pair<std::size_t, std::size_t>{12, 0xFFFFFF}}) {
        SCOPED_TRACE(nonceSize);
        const bytes nonce = Pattern(nonceSize, 5);
        const bytes largestPlain(largest, 0x5A);
        bytes sealed = AesAuthenticateEncrypt(key, nonce, largestPlain);
        EXPECT_EQ(AesAuthenticateDecrypt(key, nonce, sealed), largestPlain);

        EXPECT_THROW((void)AesAuthenticateEncrypt(key, nonce, bytes(largest + 1)),
                     CryptoPP::InvalidArgument);
        sealed.push_back(0);
        EXPECT_THROW((void)AesAuthenticateDecrypt(key, nonce, sealed), CryptoPP::InvalidArgument);
    }
}

TEST_F(AesCcmTest, DecryptingToAFileReplacesItWholeAndReportsUnwritablePaths)
{
    const bytes key = GenerateAesKey();
    const bytes plain = Pattern(300);
    const bytes blob = AesAuthenticateEncryptCreateIV(key, plain);

    // A UTF-8 name, as callers pass it.
    const std::string path = m_dir.string() + "/entschl\xC3\xBCsselt.bin";
    WriteFile(path, std::string(5000, 'p'));
    EXPECT_TRUE(AesAuthenticateDecryptToFile(key, blob, path));
    EXPECT_EQ(ReadFile(path), plain);

    const std::string unwritable = (m_dir / "missing" / "plain.bin").string();
    try {
        (void)AesAuthenticateDecryptToFile(key, blob, unwritable);
        ADD_FAILURE() << "no error";
    } catch (const kit::IoError& error) {
        EXPECT_EQ(error.what(), "Unable to write to " + unwritable);
    }
}

TEST_F(AesCcmTest, OutputMayBeTheInputVector)
{
    const bytes key = GenerateAesKey();
    const bytes nonce = GenerateAesIV();
    const bytes plain = Pattern(100);
    bytes buffer = plain;
    AesAuthenticateEncrypt(key, nonce, buffer, buffer);
    EXPECT_EQ(buffer, AesAuthenticateEncrypt(key, nonce, plain));
    EXPECT_TRUE(AesAuthenticateDecrypt(key, nonce, buffer, buffer));
    EXPECT_EQ(buffer, plain);
}

TEST(AesCcmMaterialTest, LengthsAndFreshKeysAndNonces)
{
    EXPECT_EQ(GetAesEncryptedLength(0), 28u);
    EXPECT_EQ(GetAesEncryptedLength(UINT_MAX), 27u);
    EXPECT_EQ(GenerateAesKey().size(), 16u);
    const bytes first = GenerateAesIV();
    EXPECT_EQ(first.size(), 12u);
    EXPECT_NE(first, GenerateAesIV());
}
