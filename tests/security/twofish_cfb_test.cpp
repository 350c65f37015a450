#include "support.h"

#include <gcrypt.h>
#include <gtest/gtest.h>
#include <kit/errors.h>
#include <kit/istringbuf.h>
#include <kit/ostreambuf.h>
#include <security/twofish_cfb.h>
#include <sstream>
#include <stdexcept>
#include <string>

using tarv_sec::TwoFishBlockDecrypt;
using tarv_sec::TwoFishBlockEncrypt;

namespace {

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
    Bytes out = plain;
    EXPECT_EQ(gcry_cipher_encrypt(handle, out.data(), out.size(), nullptr, 0), 0u);
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
    const std::pair<const char*, const char*> vectors[] = {
        {"00000000000000000000000000000000", "9F589F5CF6122C32B6BFEC2F2AE8C35A"},
        {"0123456789ABCDEFFEDCBA98765432100011223344556677", "CFD1D2E5A9BE9CDF501F13B892BD2248"},
        {"0123456789ABCDEFFEDCBA987654321000112233445566778899AABBCCDDEEFF",
         "37527BE0052334B89F0CFCCAE87CFA20"},
    };
    const Bytes zeros(16);
    for (const auto& [key, cipher] : vectors) {
        EXPECT_EQ(TwoFishBlockEncrypt(FromHex(key), zeros, zeros), FromHex(cipher)) << key;
        EXPECT_EQ(TwoFishBlockDecrypt(FromHex(key), zeros, FromHex(cipher)), zeros) << key;
    }
}

TEST(TwofishCfb, EveryFormMatchesLibgcryptAndRoundTripsAtEveryLength)
{
    for (const std::size_t keySize : {16u, 32u}) {
        const Bytes key(kKey.begin(), kKey.begin() + static_cast<std::ptrdiff_t>(keySize));
        for (const std::size_t n : {0u, 1u, 15u, 16u, 17u, 1000u}) {
            SCOPED_TRACE(testing::Message() << "key " << keySize << ", length " << n);
            const Bytes plain = Counting(n, 7);
            const Bytes expected = GcryptCfbEncrypt(key, kIv, plain);
            EXPECT_EQ(TwoFishBlockEncrypt(key, kIv, plain), expected);
            EXPECT_EQ(TwoFishBlockDecrypt(key, kIv, expected), plain);

            // Streams start at the current read position.
            std::istringstream in("skip" + AsString(plain));
            in.ignore(4);
            std::ostringstream out;
            TwoFishBlockEncrypt(key, kIv, in, out);
            EXPECT_EQ(out.str(), AsString(expected));
            std::istringstream cipherIn(AsString(expected));
            std::ostringstream plainOut;
            TwoFishBlockDecrypt(key, kIv, cipherIn, plainOut);
            EXPECT_EQ(plainOut.str(), AsString(plain));

            // A longer output vector keeps its tail.
            Bytes into(n + 4, 0xEE);
            TwoFishBlockEncrypt(key, kIv, plain, into);
            EXPECT_EQ(Bytes(into.begin(), into.begin() + static_cast<std::ptrdiff_t>(n)), expected);
            EXPECT_EQ(Bytes(into.end() - 4, into.end()), Bytes(4, 0xEE));
        }
    }
}

TEST(TwofishCfb, RefusesBadIvsAndShortOutputsBeforeTouchingMemory)
{
    const Bytes plain = Counting(32);
    for (const std::size_t ivSize : {0u, 8u, 15u, 17u}) {
        const Bytes iv(ivSize);
        EXPECT_EQ(ErrorMessage<std::invalid_argument>(
                      [&] { (void)TwoFishBlockEncrypt(kKey, iv, plain); }),
                  "initVector size " + std::to_string(ivSize) + " is wrong.");
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
    const Bytes cipher = TwoFishBlockEncrypt(kKey, kIv, plain);
    std::istringstream in(AsString(plain));
    const Bytes framed = generic_encrypt(in, plain.size(), kKey, kIv);
    EXPECT_EQ(AsString(framed), AsString(kIv) + AsString(cipher));

    std::istringstream framedIn(AsString(framed));
    EXPECT_EQ(generic_decrypt(framedIn, plain.size(), kKey), plain);

    // Fewer bytes than announced: full length, zero tail.
    std::istringstream shortIn(AsString(framed));
    const Bytes padded = generic_decrypt(shortIn, plain.size() + 10, kKey);
    EXPECT_EQ(AsString(padded), AsString(plain) + std::string(10, '\0'));

    // More bytes than announced: the excess stays in the stream.
    std::istringstream longIn(AsString(plain));
    EXPECT_EQ(generic_noinitval_encrypt(longIn, 40, kKey, kIv),
              Bytes(cipher.begin(), cipher.begin() + 40));
    EXPECT_EQ(longIn.tellg(), 40);
}

TEST(TwofishCfb, GenericHelpersRefuseUnreadableAndShortStreams)
{
    std::istringstream failed("data");
    failed.setstate(std::ios::failbit);
    EXPECT_EQ(
        ErrorMessage<kit::IoError>([&] { (void)generic_encrypt(failed, 4, kKey, Bytes(15)); }),
        "Stream is not readable.");
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
}
