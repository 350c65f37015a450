#include "support.h"

#include <crypto++/cryptlib.h>
#include <crypto++/osrng.h>
#include <crypto++/queue.h>
#include <cstdio>
#include <kit/errors.h>
#include <memory>
#include <optional>
#include <security/errors.h>
#include <security/rsa_encryption.h>
#include <security/rsa_envelope.h>
#include <security/rsa_keys.h>
#include <security/rsa_signature.h>

namespace fs = std::filesystem;
using namespace tarv_sec;

namespace {

// Standard output and error of a command, which must succeed.
std::string Shell(const std::string& command)
{
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen((command + " 2>&1").c_str(), "r"), ::pclose);
    std::string output;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe.get()) != nullptr)
        output += buffer;
    const int status = ::pclose(pipe.release());
    EXPECT_EQ(status, 0) << command << "\n" << output;
    return output;
}

// The DER form of a key, whatever its values.
template <class Key>
Bytes Der(const Key& key)
{
    CryptoPP::ByteQueue queue;
    key.Save(queue);
    Bytes der(static_cast<std::size_t>(queue.MaxRetrievable()));
    queue.Get(der.data(), der.size());
    return der;
}

std::string Peer(const std::string& arguments)
{
    return Shell(std::string("/usr/bin/python3 ") + RSA_PEER_SCRIPT + " " + arguments);
}

struct Pair
{
    std::string privatePath;
    std::string publicPath;
    CryptoPP::InvertibleRSAFunction privateKey;
    CryptoPP::RSAFunction publicKey;
    Bytes privateDer;
    Bytes publicDer;
};

// Key generation is slow (especially under the sanitizers): the suite makes
// its pairs once.
class RsaTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir.emplace();
        s_a.emplace(MakePair("alice"));
        s_b.emplace(MakePair("bob"));
    }
    static void TearDownTestSuite()
    {
        s_a.reset();
        s_b.reset();
        s_dir.reset();
    }

    static Pair MakePair(const std::string& base)
    {
        Pair pair;
        std::tie(pair.privatePath, pair.publicPath) =
            GenerateRsaKeyPair(base, s_dir->path().string());
        pair.privateKey = LoadPrivateKey(pair.privatePath);
        pair.publicKey = LoadPublicKey(pair.publicPath);
        pair.privateDer = GetPrivateKeyBytesFromFile(pair.privatePath);
        pair.publicDer = GetPublicKeyBytesFromFile(pair.publicPath);
        return pair;
    }

    static std::string Path(const std::string& name) { return *s_dir / name; }

    static inline std::optional<ScratchDir> s_dir;
    static inline std::optional<Pair> s_a;
    static inline std::optional<Pair> s_b;
};

} // namespace

TEST_F(RsaTest, KeyFilesAreDerPairsThatOpensslReads)
{
    EXPECT_EQ(s_a->privatePath, *s_dir / "alice-private.key");
    EXPECT_EQ(fs::status(s_a->privatePath).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);

    EXPECT_TRUE(ComparePublicKeys(s_a->publicKey, s_a->privateKey));
    EXPECT_FALSE(ComparePublicKeys(s_a->publicKey, s_b->publicKey));

    EXPECT_NE(Shell("openssl pkey -inform DER -in " + s_a->privatePath + " -check -noout")
                  .find("Key is valid"),
              std::string::npos);
    EXPECT_NE(Shell("openssl pkey -pubin -inform DER -in " + s_a->publicPath + " -text -noout")
                  .find("Public-Key: (2048 bit)"),
              std::string::npos);

    // Keys made by openssl load here, and re-encode to the same bytes.
    const std::string privatePath = Path("openssl-private.key");
    const std::string publicPath = Path("openssl-public.key");
    const std::string pemPath = Path("openssl-private.pem");
    Shell("openssl genpkey -algorithm RSA -pkeyopt rsa_keygen_bits:2048 -out " + pemPath);
    Shell("openssl pkcs8 -topk8 -nocrypt -in " + pemPath + " -outform DER -out " + privatePath);
    Shell("openssl pkey -inform DER -in " + privatePath + " -pubout -outform DER -out " +
          publicPath);
    EXPECT_TRUE(ComparePublicKeys(LoadPublicKey(publicPath), LoadPrivateKey(privatePath)));
    EXPECT_EQ(GetPublicKeyBytesFromFile(publicPath), ReadFile(publicPath));
}

TEST_F(RsaTest, BrokenKeysAreRefused)
{
    EXPECT_TRUE(ErrorMessage<kit::IoError>([] {
                    (void)LoadPublicKey(Path("missing.key"));
                }).starts_with("Unable to read from "));
    CryptoPP::RSAFunction key;
    EXPECT_THROW(GetPublicKey(Counting(300), key), CryptoPP::Exception);

    // An even modulus cannot be an RSA modulus.
    CryptoPP::RSAFunction altered(s_a->publicKey);
    altered.SetModulus(altered.GetModulus() + 1);
    EXPECT_THROW(GetPublicKey(Der(altered), key), RsaKeyValidationFailed);
}

// Too short a modulus is weak; too long a modulus or exponent makes a single
// verification take many seconds. Both are refused when the key is loaded,
// before any arithmetic with it.
TEST_F(RsaTest, KeysOfUnsafeSizesAreRefusedAtLoad)
{
    using CryptoPP::Integer;
    const auto odd = [](unsigned int bits) { return Integer::Power2(bits - 1) + Integer::One(); };
    CryptoPP::AutoSeededRandomPool rng;
    CryptoPP::InvertibleRSAFunction weak;
    weak.GenerateRandomWithKeySize(rng, 512);
    const Integer f4(65537);
    const std::tuple<const char*, Integer, Integer, bool> cases[] = {
        {"512-bit modulus", weak.GetModulus(), weak.GetPublicExponent(), false},
        {"2047-bit modulus", odd(2047), f4, false},
        {"16385-bit modulus", odd(16385), f4, false},
        {"65536-bit modulus and exponent", odd(65536), odd(65535), false},
        {"65-bit exponent", s_a->publicKey.GetModulus(), odd(65), false},
        {"16384-bit modulus", odd(16384), f4, true},
        {"64-bit exponent", s_a->publicKey.GetModulus(), odd(64), true},
    };
    for (const auto& [name, modulus, exponent, accepted] : cases) {
        SCOPED_TRACE(name);
        CryptoPP::RSAFunction hostile;
        hostile.Initialize(modulus, exponent);
        const Bytes der = Der(hostile);
        WriteFile(Path("hostile.key"), AsString(der));
        CryptoPP::RSAFunction key;
        if (accepted) {
            EXPECT_NO_THROW(GetPublicKey(der, key));
            EXPECT_NO_THROW((void)LoadPublicKey(Path("hostile.key")));
        } else {
            EXPECT_THROW(GetPublicKey(der, key), RsaKeyValidationFailed);
            EXPECT_THROW((void)LoadPublicKey(Path("hostile.key")), RsaKeyValidationFailed);
            EXPECT_THROW((void)RsaEncrypt(der, Counting(3)), RsaKeyValidationFailed);
        }
    }
    WriteFile(Path("weak-private.key"), AsString(Der(weak)));
    EXPECT_THROW((void)LoadPrivateKey(Path("weak-private.key")), RsaKeyValidationFailed);
    EXPECT_THROW((void)RsaDecrypt(Der(weak), Bytes{}), RsaKeyValidationFailed);
}

TEST_F(RsaTest, SignaturesMatchPythonByteForByte)
{
    const Bytes message = Counting(1000);
    WriteFile(Path("message"), AsString(message));
    const Bytes signature = SignMessage(s_a->privateKey, message);
    ASSERT_EQ(signature.size(), 256u);

    Peer("sign " + s_a->privatePath + " " + Path("message") + " " + Path("python.sig"));
    EXPECT_EQ(ReadFile(Path("python.sig")), signature);

    Bytes out{'a', 'b'};
    EXPECT_TRUE(VerifyMessage(s_a->publicKey, message, signature, out));
    ASSERT_EQ(out.size(), 1002u);
    EXPECT_EQ(Bytes(out.begin() + 2, out.end()), message);
}

TEST_F(RsaTest, AlteredOrShortSignaturesFailWithoutOutput)
{
    const Bytes message = Counting(50);
    const Bytes signature = SignMessage(s_a->privateKey, message);
    const Bytes before{'k'};
    Bytes out = before;

    Bytes alteredMessage = message;
    alteredMessage[10] ^= 1;
    EXPECT_FALSE(VerifyMessage(s_a->publicKey, alteredMessage, signature, out));
    Bytes alteredSignature = signature;
    alteredSignature[100] ^= 1;
    EXPECT_FALSE(VerifyMessage(s_a->publicKey, message, alteredSignature, out));
    EXPECT_FALSE(VerifyMessage(s_b->publicKey, message, signature, out));

    const Bytes shortSignature(signature.begin() + 1, signature.end());
    EXPECT_FALSE(VerifyMessage(s_a->publicKey, message, shortSignature, out));
    EXPECT_FALSE(VerifyMessage(s_a->publicKey, shortSignature, out));
    EXPECT_FALSE(VerifyMessage(s_a->publicKey, Bytes{}, out));
    EXPECT_FALSE(VerifyForRecipient(s_b->publicKey, s_a->publicKey, shortSignature, out));
    EXPECT_EQ(out, before);

    // Bound to bob: alice's key as recipient does not verify.
    Bytes bound;
    SignForRecipient(s_b->publicKey, s_a->privateKey, message, bound);
    EXPECT_FALSE(VerifyForRecipient(s_a->publicKey, s_a->publicKey, message, bound, out));
    EXPECT_FALSE(VerifyMessage(s_a->publicKey, message, bound, out));
    EXPECT_EQ(out, before);
    EXPECT_TRUE(VerifyForRecipient(s_b->publicKey, s_a->publicKey, message, bound, out));
    EXPECT_EQ(out, message);
}

TEST_F(RsaTest, OaepBlocksRoundTripAndCrossDecryptWithPython)
{
    for (const std::size_t n : {0u, 1u, 214u, 215u, 1000u}) {
        const Bytes plain = Counting(n);
        const Bytes cipher = RsaEncrypt(s_a->publicDer, plain);
        EXPECT_EQ(cipher.size(), (n + 213) / 214 * 256) << n;
        EXPECT_EQ(RsaDecrypt(s_a->privateDer, cipher), plain) << n;
        if (n == 0) {
            continue;
        }
        WriteFile(Path("cipher"), AsString(cipher));
        Peer("decrypt " + s_a->privatePath + " " + Path("cipher") + " " + Path("plain"));
        EXPECT_EQ(ReadFile(Path("plain")), plain) << n;

        WriteFile(Path("plain"), AsString(plain));
        Peer("encrypt " + s_a->publicPath + " " + Path("plain") + " " + Path("cipher"));
        Bytes out;
        RsaDecrypt(s_a->privateKey, ReadFile(Path("cipher")), out);
        EXPECT_EQ(out, plain) << n;
    }
}

TEST_F(RsaTest, BadCiphertextReleasesNoPlaintext)
{
    const Bytes cipher = RsaEncrypt(s_a->publicDer, Counting(500));
    const Bytes before{'k'};
    Bytes out = before;
    for (const std::size_t size : {255u, 257u}) {
        EXPECT_THROW(RsaDecrypt(s_a->privateKey, Bytes(cipher.begin(), cipher.begin() + size), out),
                     RsaDecryptFailed);
    }
    Bytes laterBlockBroken = cipher;
    laterBlockBroken[2 * 256 + 5] ^= 1;
    EXPECT_THROW(RsaDecrypt(s_a->privateKey, laterBlockBroken, out), CryptoPP::Exception);
    EXPECT_THROW(RsaDecrypt(s_b->privateKey, cipher, out), CryptoPP::Exception);
    // Keys without a modulus are refused rather than divided by.
    EXPECT_THROW(RsaDecrypt(CryptoPP::InvertibleRSAFunction(), cipher, out), CryptoPP::Exception);
    EXPECT_THROW(RsaEncrypt(CryptoPP::RSAFunction(), Counting(3), out), CryptoPP::Exception);
    EXPECT_EQ(out, before);
    EXPECT_TRUE(RsaDecrypt(s_a->privateDer, Bytes{}).empty());
}

TEST_F(RsaTest, EnvelopeOpensOnlyWhenWholeAndForItsRecipient)
{
    const Bytes message = Counting(300);
    const Bytes envelope = RsaSignAndEncrypt(s_b->publicDer, s_a->privateDer, message);
    EXPECT_EQ(envelope.size(), (300u + 256u + 213u) / 214u * 256u);
    const auto open = [&](const Bytes& cipher, const Pair& to = *s_b, const Pair& from = *s_a) {
        return RsaDecryptAndVerify(to.publicDer, to.privateDer, from.publicDer, cipher);
    };
    EXPECT_EQ(open(envelope), message);
    // Built by python3-cryptography.
    WriteFile(Path("message"), AsString(message));
    Peer("envelope " + s_b->publicPath + " " + s_a->privatePath + " " + Path("message") + " " +
         Path("envelope"));
    EXPECT_EQ(open(ReadFile(Path("envelope"))), message);

    // Another sender, another recipient, mismatched recipient keys.
    EXPECT_THROW((void)open(envelope, *s_b, *s_b), RsaVerifyFailed);
    EXPECT_THROW((void)open(envelope, *s_a), CryptoPP::Exception);
    EXPECT_THROW(
        (void)RsaDecryptAndVerify(s_a->publicDer, s_b->privateDer, s_a->publicDer, envelope),
        RsaKeyValidationFailed);
    // Truncated, reordered, altered.
    EXPECT_THROW((void)open(Bytes(envelope.begin(), envelope.end() - 1)), RsaDecryptFailed);
    EXPECT_THROW((void)open(Bytes(envelope.begin(), envelope.end() - 256)), RsaVerifyFailed);
    Bytes reordered = envelope;
    std::swap_ranges(reordered.begin(), reordered.begin() + 256, reordered.begin() + 256);
    EXPECT_THROW((void)open(reordered), RsaVerifyFailed);
    Bytes altered = envelope;
    altered[10] ^= 1;
    EXPECT_THROW((void)open(altered), CryptoPP::Exception);
}
