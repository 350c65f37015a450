#include "support.h"

#include <crypto++/cryptlib.h>
#include <functional>
#include <memory>
#include <kit/errors.h>
#include <security/aes_ccm.h>
#include <security/errors.h>
#include <sstream>

using namespace tarv_sec;
namespace fs = std::filesystem;

namespace {

const auto Nonce = [](const Bytes& blob) { return Bytes(blob.begin(), blob.begin() + 12); };
const auto Body = [](const Bytes& blob) { return Bytes(blob.begin() + 12, blob.end()); };

// What an opening form released: the plaintext, or nothing when the tag failed.
struct Opened
{
    bool verified;
    Bytes plain;
};
using Opener = std::function<Opened(const Bytes& key, const Bytes& blob)>;

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
    // Every opening form of a sealed blob; each starts from output that must
    // not survive a failure.
    std::vector<std::pair<std::string, Opener>> Openers() const
    {
        return {
            {"vector",
             [](const Bytes& key, const Bytes& blob) {
                 Bytes out{'o', 'l', 'd'};
                 const bool verified = AesAuthenticateDecrypt(key, Nonce(blob), Body(blob), out);
                 return Opened{verified, out};
             }},
            {"value",
             [](const Bytes& key, const Bytes& blob) {
                 return OpenOrCatch(
                     [&] { return AesAuthenticateDecrypt(key, Nonce(blob), Body(blob)); });
             }},
            {"read iv",
             [](const Bytes& key, const Bytes& blob) {
                 return OpenOrCatch([&] { return AesAuthenticateDecryptReadIV(key, blob); });
             }},
            {"stream",
             [](const Bytes& key, const Bytes& blob) {
                 std::istringstream in("skip" + AsString(Body(blob)));
                 in.ignore(4); // opening starts at the current read position
                 std::ostringstream out;
                 const bool verified = AesAuthenticateDecrypt(key, Nonce(blob), in, out);
                 const std::string written = out.str();
                 return Opened{verified, Bytes(written.begin(), written.end())};
             }},
            {"file",
             [&dir = m_dir](const Bytes& key, const Bytes& blob) {
                 WriteFile(dir / "plain.bin", "previous");
                 const bool verified = AesAuthenticateDecryptToFile(key, blob, dir / "plain.bin");
                 EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1);
                 const Bytes written = ReadFile(dir / "plain.bin");
                 EXPECT_TRUE(verified || AsString(written) == "previous");
                 return Opened{verified, verified ? written : Bytes{}};
             }},
        };
    }

    const ScratchDir m_dir;
};

} // namespace

TEST_F(AesCcmTest, EverySealingFormOpensWithEveryOpeningFormForEachKeySize)
{
    for (const std::size_t keySize : {16u, 24u, 32u}) {
        for (const std::size_t length : {0u, 1u, 17u, 200000u}) {
            SCOPED_TRACE(testing::Message() << "key " << keySize << ", length " << length);
            const Bytes key = Counting(keySize, 7);
            const Bytes plain = Counting(length);
            const Bytes nonce = GenerateAesIV();
            const Bytes body = AesAuthenticateEncrypt(key, nonce, plain);
            Bytes sealed = nonce;
            sealed.insert(sealed.end(), body.begin(), body.end());

            std::istringstream in("ab" + AsString(plain));
            in.ignore(2);
            std::ostringstream streamed;
            AesAuthenticateEncrypt(key, nonce, in, streamed);
            EXPECT_EQ(streamed.str(), AsString(body));

            const Bytes created = AesAuthenticateEncryptCreateIV(key, plain);
            EXPECT_EQ(created.size(), GetAesEncryptedLength(static_cast<unsigned>(length)));
            for (const Bytes& blob : {sealed, created}) {
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
    const Bytes key = GenerateAesKey();
    const Bytes blob = AesAuthenticateEncryptCreateIV(key, Counting(20));
    Bytes wrongKey = key;
    wrongKey[0] ^= 0x80;
    std::vector<std::pair<Bytes, Bytes>> attempts{{wrongKey, blob}};
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
    const Bytes key = GenerateAesKey();
    const Bytes nonce = GenerateAesIV();
    Bytes out;
    EXPECT_THROW((void)AesAuthenticateDecrypt(key, nonce, Bytes(15), out), AesAuthenticationFailed);
    std::istringstream in(std::string(15, '\0'));
    std::ostringstream sink;
    EXPECT_THROW((void)AesAuthenticateDecrypt(key, nonce, in, sink), AesAuthenticationFailed);
    EXPECT_THROW((void)AesAuthenticateDecryptReadIV(key, Bytes(27)), AesAuthenticationFailed);
    EXPECT_THROW((void)AesAuthenticateDecryptToFile(key, Bytes(27), m_dir / "x"),
                 AesAuthenticationFailed);
    EXPECT_TRUE(sink.str().empty() && fs::is_empty(m_dir.path()));
}

TEST_F(AesCcmTest, NonceKeyAndMessageLengthsAreHeldToWhatCcmAllows)
{
    const Bytes key = GenerateAesKey();
    const Bytes plain = Counting(40);
    for (const std::size_t nonceSize : {7u, 13u}) {
        const Bytes nonce = Counting(nonceSize);
        EXPECT_EQ(AesAuthenticateDecrypt(key, nonce, AesAuthenticateEncrypt(key, nonce, plain)),
                  plain);
    }
    for (const std::size_t nonceSize : {0u, 6u, 14u}) {
        EXPECT_THROW((void)AesAuthenticateEncrypt(key, Counting(nonceSize), plain),
                     CryptoPP::InvalidArgument);
        EXPECT_THROW((void)AesAuthenticateDecrypt(key, Counting(nonceSize), Counting(56)),
                     CryptoPP::InvalidArgument);
    }
    for (const std::size_t keySize : {0u, 15u, 17u, 33u}) {
        Bytes out{'k', 'e', 'p', 't'};
        EXPECT_THROW(AesAuthenticateEncrypt(Counting(keySize), GenerateAesIV(), plain, out),
                     CryptoPP::InvalidArgument);
        EXPECT_EQ(AsString(out), "kept");
        EXPECT_THROW((void)AesAuthenticateDecrypt(Counting(keySize), GenerateAesIV(), Counting(56)),
                     CryptoPP::InvalidArgument);
    }
    // The length field has 15 - nonce size bytes: 2 for a 13-byte nonce, 3 for
    // the library's own 12-byte nonce.
    for (const auto& [nonceSize, largest] : {std::pair<std::size_t, std::size_t>{13, 0xFFFF},
                                             std::pair<std::size_t, std::size_t>{12, 0xFFFFFF}}) {
        const Bytes nonce = Counting(nonceSize);
        const Bytes largestPlain(largest, 0x5A);
        Bytes sealed = AesAuthenticateEncrypt(key, nonce, largestPlain);
        EXPECT_EQ(AesAuthenticateDecrypt(key, nonce, sealed), largestPlain);
        EXPECT_THROW((void)AesAuthenticateEncrypt(key, nonce, Bytes(largest + 1)),
                     CryptoPP::InvalidArgument);
        sealed.push_back(0);
        EXPECT_THROW((void)AesAuthenticateDecrypt(key, nonce, sealed), CryptoPP::InvalidArgument);
    }
}

TEST_F(AesCcmTest, UnwritableFilesAreReportedAndVectorsMayBeTheirOwnOutput)
{
    const Bytes key = GenerateAesKey();
    const Bytes plain = Counting(300);
    const std::string unwritable = m_dir / "missing/plain.bin";
    const Bytes blob = AesAuthenticateEncryptCreateIV(key, plain);
    EXPECT_EQ(ErrorMessage<kit::IoError>(
                  [&] { (void)AesAuthenticateDecryptToFile(key, blob, unwritable); }),
              "Unable to write to " + unwritable);

    const Bytes nonce = GenerateAesIV();
    Bytes buffer = plain;
    AesAuthenticateEncrypt(key, nonce, buffer, buffer);
    EXPECT_EQ(buffer, AesAuthenticateEncrypt(key, nonce, plain));
    EXPECT_TRUE(AesAuthenticateDecrypt(key, nonce, buffer, buffer));
    EXPECT_EQ(buffer, plain);
}

// A file stream may be positioned beyond its end; there is nothing left to
// read there, not a length wrapped around to 2^64.
TEST_F(AesCcmTest, StreamsPositionedPastTheirEndHoldNothing)
{
    const Bytes key = GenerateAesKey();
    WriteFile(m_dir / "short", std::string(40, 'x'));
    const auto pastTheEnd = [&] {
        auto in = std::make_unique<std::ifstream>(m_dir / "short", std::ios::binary);
        in->seekg(100);
        return in;
    };
    for (const std::size_t nonceSize : {7u, 12u}) {
        const Bytes nonce = Counting(nonceSize);
        std::ostringstream sealed;
        AesAuthenticateEncrypt(key, nonce, *pastTheEnd(), sealed);
        EXPECT_EQ(sealed.str(), AsString(AesAuthenticateEncrypt(key, nonce, Bytes{})));
        std::ostringstream opened;
        EXPECT_THROW((void)AesAuthenticateDecrypt(key, nonce, *pastTheEnd(), opened),
                     AesAuthenticationFailed);
    }
}
