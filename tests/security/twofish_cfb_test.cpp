#include <crypto++/hex.h>
#include <gcrypt.h>
#include <gtest/gtest.h>
#include <kit/errors.h>
#include <kit/istringbuf.h>
#include <kit/ostreambuf.h>
#include <numeric>
#include <security/twofish_cfb.h>
#include <sstream>
#include <stdexcept>
#include <string>

using Bytes = std::vector<uint8_t>;
using tarv_sec::TwoFishBlockDecrypt;
using tarv_sec::TwoFishBlockEncrypt;

namespace {

Bytes FromHex(const std::string& hex)
{
    std::string decoded;
    CryptoPP::StringSource(hex, true, new CryptoPP::HexDecoder(new CryptoPP::StringSink(decoded)));
    return Bytes(decoded.begin(), decoded.end());
}

Bytes Counting(std::size_t n, uint8_t start = 0)
{
    Bytes bytes(n);
    std::iota(bytes.begin(), bytes.end(), start);
    return bytes;
}

std::string AsString(const Bytes& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

// Twofish-CFB from libgcrypt, an implementation independent of Crypto++.
Bytes GcryptCfbEncrypt(const Bytes& key, const Bytes& iv, const Bytes& plain)
{
    static const bool initialised = [] {
        gcry_check_version(nullptr);
        gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
        return true;
    }();
    (void)initialised;
    const int algorithm = key.size() == 16 ? GCRY_CIPHER_TWOFISH128 : GCRY_CIPHER_TWOFISH;
    gcry_cipher_hd_t handle = nullptr;
    EXPECT_EQ(gcry_cipher_open(&handle, algorithm, GCRY_CIPHER_MODE_CFB, 0), 0u);
    EXPECT_EQ(gcry_cipher_setkey(handle, key.data(), key.size()), 0u);
    EXPECT_EQ(gcry_cipher_setiv(handle, iv.data(), iv.size()), 0u);
    Bytes out(plain.size());
    EXPECT_EQ(gcry_cipher_encrypt(handle, out.data(), out.size(), plain.data(), plain.size()), 0u);
    gcry_cipher_close(handle);
    return out;
}

const Bytes kKey = Counting(32, 0x40);
const Bytes kIv = Counting(16, 0xA0);

} // namespace

// Published Twofish vectors (all-zero plaintext). With a zero IV the first
// CFB block is E(IV) xor P, which for a zero P is the ECB ciphertext.
TEST(TwofishCfb, MatchesPublishedVectors)
{
    struct Vector
    {
        const char* key;
        const char* cipher;
    };
    const Vector vectors[] = {
        {"00000000000000000000000000000000", "9F589F5CF6122C32B6BFEC2F2AE8C35A"},
        {"0123456789ABCDEFFEDCBA98765432100011223344556677", "CFD1D2E5A9BE9CDF501F13B892BD2248"},
        {"0123456789ABCDEFFEDCBA987654321000112233445566778899AABBCCDDEEFF",
         "37527BE0052334B89F0CFCCAE87CFA20"},
    };
    const Bytes zeros(16);
    for (const Vector& vector : vectors) {
        const Bytes key = FromHex(vector.key);
        const Bytes expected = FromHex(vector.cipher);
        EXPECT_EQ(TwoFishBlockEncrypt(key, zeros, zeros), expected) << vector.key;
        EXPECT_EQ(TwoFishBlockDecrypt(key, zeros, expected), zeros) << vector.key;
    }
}

TEST(TwofishCfb, MultiBlockOutputMatchesLibgcrypt)
{
    const Bytes plain = Counting(1000, 7);
    for (const std::size_t keySize : {16u, 32u}) {
        const Bytes key(kKey.begin(), kKey.begin() + static_cast<std::ptrdiff_t>(keySize));
        const Bytes expected = GcryptCfbEncrypt(key, kIv, plain);
        EXPECT_EQ(TwoFishBlockEncrypt(key, kIv, plain), expected);

        std::istringstream in(AsString(plain));
        std::ostringstream out;
        TwoFishBlockEncrypt(key, kIv, in, out);
        EXPECT_EQ(out.str(), AsString(expected));
        EXPECT_EQ(TwoFishBlockDecrypt(key, kIv, expected), plain);
    }
}

TEST(TwofishCfb, RoundTripsEveryLengthThroughVectorsAndStreams)
{
    for (const std::size_t n : {0u, 1u, 15u, 16u, 17u, 1000u}) {
        const Bytes plain = Counting(n, 3);
        const Bytes cipher = TwoFishBlockEncrypt(kKey, kIv, plain);
        ASSERT_EQ(cipher.size(), n);
        EXPECT_EQ(TwoFishBlockDecrypt(kKey, kIv, cipher), plain) << n;

        // Streams start at the current read position.
        std::istringstream in("skip" + AsString(cipher));
        in.ignore(4);
        std::ostringstream out;
        TwoFishBlockDecrypt(kKey, kIv, in, out);
        EXPECT_EQ(out.str(), AsString(plain)) << n;
    }
    // A longer output keeps its tail.
    Bytes out(20, 0xEE);
    TwoFishBlockEncrypt(kKey, kIv, Counting(16), out);
    EXPECT_EQ(Bytes(out.begin() + 16, out.end()), Bytes(4, 0xEE));
}

TEST(TwofishCfb, RefusesBadIvsAndShortOutputsBeforeTouchingMemory)
{
    const Bytes plain = Counting(32);
    for (const std::size_t ivSize : {0u, 8u, 15u, 17u}) {
        const Bytes iv(ivSize);
        try {
            (void)TwoFishBlockEncrypt(kKey, iv, plain);
            FAIL() << ivSize;
        } catch (const std::invalid_argument& error) {
            EXPECT_EQ(std::string(error.what()),
                      "initVector size " + std::to_string(ivSize) + " is wrong.");
        }
        std::istringstream in(AsString(plain));
        EXPECT_THROW((void)generic_encrypt(in, plain.size(), kKey, iv), std::invalid_argument);
        EXPECT_THROW((void)generic_noinitval_encrypt(in, plain.size(), kKey, iv),
                     std::invalid_argument);
        std::ostringstream out;
        EXPECT_THROW(TwoFishBlockDecrypt(kKey, iv, in, out), std::invalid_argument);
    }
    Bytes shortOut(31, 0x55);
    EXPECT_THROW(TwoFishBlockEncrypt(kKey, kIv, plain, shortOut), std::invalid_argument);
    EXPECT_EQ(shortOut, Bytes(31, 0x55));
}

TEST(TwofishCfb, GenericHelpersFrameAndBoundTheirOutput)
{
    const Bytes plain = Counting(100, 9);
    std::istringstream in(AsString(plain));
    const Bytes framed = generic_encrypt(in, plain.size(), kKey, kIv);
    ASSERT_EQ(framed.size(), plain.size() + 16);
    EXPECT_EQ(Bytes(framed.begin(), framed.begin() + 16), kIv);
    EXPECT_EQ(Bytes(framed.begin() + 16, framed.end()), TwoFishBlockEncrypt(kKey, kIv, plain));

    std::istringstream again(AsString(plain));
    EXPECT_EQ(generic_noinitval_encrypt(again, plain.size(), kKey, kIv),
              TwoFishBlockEncrypt(kKey, kIv, plain));

    std::istringstream framedIn(AsString(framed));
    EXPECT_EQ(generic_decrypt(framedIn, plain.size(), kKey), plain);

    // Fewer bytes than announced: full length, zero tail.
    std::istringstream shortIn(AsString(framed));
    const Bytes padded = generic_decrypt(shortIn, plain.size() + 10, kKey);
    EXPECT_EQ(Bytes(padded.begin(), padded.begin() + 100), plain);
    EXPECT_EQ(Bytes(padded.begin() + 100, padded.end()), Bytes(10));

    // More bytes than announced: the excess stays in the stream.
    std::istringstream longIn(AsString(plain));
    const Bytes head = generic_noinitval_encrypt(longIn, 40, kKey, kIv);
    EXPECT_EQ(head, TwoFishBlockEncrypt(kKey, kIv, Bytes(plain.begin(), plain.begin() + 40)));
    EXPECT_EQ(longIn.tellg(), 40);
}

TEST(TwofishCfb, GenericHelpersRefuseUnreadableAndShortStreams)
{
    std::istringstream failed("data");
    failed.setstate(std::ios::failbit);
    try {
        (void)generic_encrypt(failed, 4, kKey, Bytes(15));
        FAIL();
    } catch (const kit::IoError& error) {
        EXPECT_STREQ(error.what(), "Stream is not readable.");
    }
    for (const std::size_t n : {0u, 11u, 15u}) {
        std::istringstream headerOnly(std::string(n, 'x'));
        EXPECT_THROW((void)generic_decrypt(headerOnly, 4, kKey), kit::IoError) << n;
    }
}

TEST(ByteVectorBuffers, ReadCopiesAndWriteNeverGrowsTheVector)
{
    Bytes source = Counting(5);
    kit::istringbuf inBuffer(source);
    source.assign(5, 0);
    std::istream in(&inBuffer);
    std::string read(5, '\0');
    in.read(read.data(), 5);
    EXPECT_EQ(read, AsString(Counting(5)));
    EXPECT_EQ(in.get(), std::char_traits<char>::eof());

    Bytes target(4, 0xAA);
    {
        kit::ostreambuf outBuffer(target);
        std::ostream out(&outBuffer);
        out.write("abc", 3);
        EXPECT_TRUE(out.good());
        out.write("defg", 4);
        EXPECT_TRUE(out.bad());
    }
    EXPECT_EQ(AsString(target), "abcd");
    EXPECT_EQ(target.size(), 4u);
}
