#include "support.h"
#include "tests/support/filesizelimit.h"

#include <kit/errors.h>
#include <security/aes_ccm.h>
#include <security/aes_cipher_stream.h>
#include <security/errors.h>
#include <security/twofish_cfb.h>
#include <security/twofish_cipher_stream.h>
#include <stdexcept>

using tarv_sec::AesCipherStream;
using tarv_sec::CipherStreamWriteError;
using tarv_sec::TwoFishCipherStream;
namespace fs = std::filesystem;

namespace {

const Bytes kAesKey(16, 0x11);
const Bytes kTwofishKey(32, 0x22);
const Bytes kIv(16, 0x33);

std::string Contents(tarv_sec::CipherStream& stream)
{
    return std::string(stream.GetStream().view());
}

std::string Contents(tarv_sec::CipherStream&& stream)
{
    return Contents(stream);
}

class CipherStreamTest : public ::testing::Test
{
protected:
    std::string Path(const std::string& name) const { return m_dir / name; }
    long FileCount() const { return std::distance(fs::directory_iterator(m_dir.path()), {}); }
    std::string Read(const std::string& name) const { return AsString(ReadFile(m_dir / name)); }

    const ScratchDir m_dir;
};

} // namespace

TEST_F(CipherStreamTest, AesWriteSaveAppendSaveReopen)
{
    AesCipherStream stream;
    stream.SetEncryptionKey(kAesKey);
    stream.GetStream() << "first part";
    std::string word;
    stream.GetStream() >> word; // moves the read position; the writer rewinds
    stream.WriteToFile(Path("doc"));
    EXPECT_EQ(fs::file_size(Path("doc")), 10u + 28u);

    stream.GetStream() << ", second part";
    stream.WriteToFile(Path("doc"));
    AesCipherStream reopened(Path("doc"), kAesKey);
    reopened.GetStream() << "!"; // a loaded document is appended to, not overwritten
    EXPECT_EQ(Contents(reopened), "first part, second part!");
    // The file is the sealed blob of the AES helpers.
    EXPECT_EQ(AsString(tarv_sec::AesAuthenticateDecryptReadIV(kAesKey, ReadFile(Path("doc")))),
              "first part, second part");

    // An empty document still carries nonce and tag.
    AesCipherStream empty;
    empty.SetEncryptionKey(kAesKey);
    empty.WriteToFile(Path("empty"));
    EXPECT_EQ(fs::file_size(Path("empty")), 28u);
    EXPECT_EQ(AesCipherStream(Path("empty"), kAesKey).GetDataSize(), 0u);
}

TEST_F(CipherStreamTest, AesRefusesShortTamperedAndUnreadableFiles)
{
    for (const std::size_t n : {0u, 11u, 27u}) {
        WriteFile(Path("short"), std::string(n, 'x'));
        EXPECT_THROW(AesCipherStream(Path("short"), kAesKey), tarv_sec::AesAuthenticationFailed)
            << n;
    }
    Bytes tampered = tarv_sec::AesAuthenticateEncryptCreateIV(kAesKey, Bytes(6));
    tampered[14] ^= 1;
    WriteFile(Path("doc"), AsString(tampered));
    EXPECT_EQ(ErrorMessage<tarv_sec::AesAuthenticationFailed>(
                  [&] { AesCipherStream(Path("doc"), kAesKey); }),
              "Failed to authenticate.");
    EXPECT_EQ(ErrorMessage<kit::IoError>([&] { AesCipherStream(Path("missing"), kAesKey); }),
              Path("missing") + " is not readable");
}

TEST_F(CipherStreamTest, RefusedWritesLeaveThePreviousFileAlone)
{
    WriteFile(Path("keep"), "previous");

    AesCipherStream noKey;
    noKey.GetStream() << "plain";
    EXPECT_EQ(ErrorMessage<CipherStreamWriteError>([&] { noKey.WriteToFile(Path("keep")); }),
              "Unable to write encrypted data to file without key.");
    // A key without an IV would otherwise write the plaintext.
    TwoFishCipherStream noIv(Bytes{}, kTwofishKey, {});
    noIv.GetStream() << "plain";
    EXPECT_THROW(noIv.WriteToFile(Path("keep")), CipherStreamWriteError);
    EXPECT_THROW((void)noIv.GetEncryptedBytes(), CipherStreamWriteError);

    TwoFishCipherStream badIv(Bytes{}, kTwofishKey, kIv);
    badIv.SetInitVector(Bytes(8));
    badIv.GetStream() << "plain";
    EXPECT_THROW(badIv.WriteToFile(Path("keep")), std::invalid_argument);

    EXPECT_THROW(noKey.WriteToFile(Path("no-such-dir/doc")), CipherStreamWriteError);
    noKey.SetEncryptionKey(kAesKey);
    EXPECT_THROW(noKey.WriteToFile(Path("no-such-dir/doc")), kit::IoError);

    // One byte more than CCM with a 12-byte nonce can seal.
    AesCipherStream tooLarge;
    tooLarge.SetEncryptionKey(kAesKey);
    tooLarge.GetStream() << std::string(0x1000000, 'l');
    EXPECT_THROW(tooLarge.WriteToFile(Path("keep")), CipherStreamWriteError);

    EXPECT_EQ(Read("keep"), "previous");
    EXPECT_EQ(FileCount(), 1);
}

TEST_F(CipherStreamTest, FailedWritesLeaveThePreviousFileAlone)
{
    AesCipherStream aes;
    aes.SetEncryptionKey(kAesKey);
    aes.GetStream() << std::string(200000, 'a');
    EXPECT_TRUE(ErrorMessage<CipherStreamWriteError>([&] { aes.WriteToFile("/dev/full"); })
                    .starts_with("WriteToFile failed with good()=false, eof()=false, "
                                 "fail()=true, bad()=true, "));
    TwoFishCipherStream twofish(Bytes{}, kTwofishKey, kIv);
    twofish.GetStream() << std::string(200000, 'b');
    EXPECT_THROW(twofish.WriteToFile("/dev/full"), CipherStreamWriteError);

    // A disk that fills up halfway through a regular file.
    WriteFile(Path("aes"), "previous aes");
    WriteFile(Path("twofish"), "previous twofish");
    {
        const tarv::testing::FileSizeLimit limit(4096);
        EXPECT_THROW(aes.WriteToFile(Path("aes")), std::runtime_error);
        twofish.GetStream().clear();
        twofish.GetStream().seekg(0);
        EXPECT_THROW(twofish.WriteToFile(Path("twofish")), std::runtime_error);
    }
    EXPECT_EQ(Read("aes"), "previous aes");
    EXPECT_EQ(Read("twofish"), "previous twofish");
    EXPECT_EQ(FileCount(), 2);
}

TEST_F(CipherStreamTest, TwofishFileLayoutsAndIvHandling)
{
    const std::string text = "twenty-seven bytes of text!";
    TwoFishCipherStream stream(Bytes{}, kTwofishKey, kIv);
    stream.GetStream() << text;
    stream.WriteToFile(Path("doc"));
    // Ciphertext only, no IV in the file.
    const Bytes file = ReadFile(Path("doc"));
    EXPECT_EQ(file,
              tarv_sec::TwoFishBlockEncrypt(kTwofishKey, kIv, Bytes(text.begin(), text.end())));
    stream.GetStream().seekg(0);
    EXPECT_EQ(stream.GetEncryptedBytes(), file);

    EXPECT_EQ(Contents(TwoFishCipherStream(Path("doc"), kTwofishKey, kIv)), text);
    EXPECT_EQ(Contents(TwoFishCipherStream(Path("doc"), {}, {})), AsString(file));

    // IV || ciphertext, as generic_encrypt makes it, opens with an empty IV.
    std::istringstream in(text);
    const Bytes framed = generic_encrypt(in, text.size(), kTwofishKey, kIv);
    WriteFile(Path("framed"), AsString(framed));
    EXPECT_EQ(Contents(TwoFishCipherStream(Path("framed"), kTwofishKey, {})), text);
    EXPECT_EQ(Contents(TwoFishCipherStream(framed, kTwofishKey, {})), AsString(framed));

    // Files of 0 and 11 bytes cannot hold an IV; 27 bytes hold IV and 11 more.
    for (const std::size_t n : {0u, 11u}) {
        WriteFile(Path("short"), std::string(n, 'x'));
        EXPECT_THROW(TwoFishCipherStream(Path("short"), kTwofishKey, {}), std::runtime_error);
        std::istringstream shortIn(std::string(n, 'x'));
        EXPECT_THROW(TwoFishCipherStream(shortIn, kTwofishKey, {}), std::runtime_error);
    }
    WriteFile(Path("short"), std::string(framed.begin(), framed.begin() + 27));
    EXPECT_EQ(Contents(TwoFishCipherStream(Path("short"), kTwofishKey, {})), text.substr(0, 11));

    // Unreadable files, including a directory, which opens but does not read.
    EXPECT_THROW(TwoFishCipherStream(Path("missing"), kTwofishKey, kIv), kit::IoError);
    for (const Bytes& key : {Bytes{}, kTwofishKey}) {
        for (const Bytes& iv : {kIv, Bytes{}})
            EXPECT_THROW(TwoFishCipherStream(m_dir.path().string(), key, iv), kit::IoError);
    }
    EXPECT_THROW(AesCipherStream(m_dir.path().string(), kAesKey), kit::IoError);
}

TEST_F(CipherStreamTest, TwofishWriteSaveAppendSaveReopen)
{
    TwoFishCipherStream stream(Bytes{}, kTwofishKey, kIv);
    stream.WriteToFile(Path("doc"));
    EXPECT_EQ(fs::file_size(Path("doc")), 0u);
    EXPECT_EQ(TwoFishCipherStream(Path("doc"), kTwofishKey, kIv).GetDataSize(), 0u);

    stream.GetStream() << "first";
    stream.WriteToFile(Path("doc"));
    // The writer leaves the read position at the end: rewind to save it all.
    stream.GetStream() << " and second";
    stream.GetStream().seekg(0);
    stream.WriteToFile(Path("doc"));
    EXPECT_EQ(Contents(TwoFishCipherStream(Path("doc"), kTwofishKey, kIv)), "first and second");
}

TEST_F(CipherStreamTest, MovesAreSafe)
{
    TwoFishCipherStream source(Bytes{'x', 'y'}, {}, {});
    TwoFishCipherStream target(std::move(source));
    EXPECT_EQ(Contents(target), "xy");
    EXPECT_THROW(source.GetStream(), std::logic_error);
    EXPECT_THROW((void)source.GetDataSize(), std::logic_error);
    EXPECT_THROW(source.WriteToFile(Path("moved")), std::logic_error);
    EXPECT_FALSE(fs::exists(Path("moved")));

    TwoFishCipherStream& alias = target;
    target = std::move(alias);
    EXPECT_EQ(Contents(target), "xy");
    source = std::move(target);
    EXPECT_EQ(Contents(source), "xy");
}

TEST_F(CipherStreamTest, StreamsPositionedPastTheirEndHoldNothing)
{
    WriteFile(Path("short"), std::string(40, 'x'));
    std::ifstream in(Path("short"), std::ios::binary);
    in.seekg(100);
    EXPECT_THROW(AesCipherStream(in, kAesKey), tarv_sec::AesAuthenticationFailed);
    in.seekg(100);
    EXPECT_EQ(TwoFishCipherStream(in, kTwofishKey, kIv).GetDataSize(), 0u);
}
