#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <kit/errors.h>
#include <security/aes_ccm.h>
#include <security/aes_cipher_stream.h>
#include <security/errors.h>
#include <security/twofish_cfb.h>
#include <security/twofish_cipher_stream.h>
#include <stdexcept>
#include <string>
#include <sys/resource.h>

using Bytes = std::vector<uint8_t>;
using tarv_sec::AesCipherStream;
using tarv_sec::CipherStreamWriteError;
using tarv_sec::TwoFishCipherStream;
namespace fs = std::filesystem;

namespace {

const Bytes kAesKey(16, 0x11);
const Bytes kTwofishKey(32, 0x22);
const Bytes kIv(16, 0x33);

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

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
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() /
                ("cipher-stream-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string Path(const std::string& name) const { return (m_dir / name).string(); }

    fs::path m_dir;
};

// Makes writes beyond `bytes` fail in this process, the way a full disk
// would, and restores the limit afterwards.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limited = m_saved;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_saved); }

private:
    rlimit m_saved{};
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
    const std::string firstFile = ReadFile(Path("doc"));

    stream.GetStream() << ", second part";
    stream.WriteToFile(Path("doc"));
    EXPECT_NE(ReadFile(Path("doc")), firstFile);

    AesCipherStream reopened(Path("doc"), kAesKey);
    EXPECT_EQ(Contents(reopened), "first part, second part");
    EXPECT_EQ(reopened.GetDataSize(), 23u);

    // The file is the sealed blob of the AES helpers.
    const std::string file = ReadFile(Path("doc"));
    const Bytes blob(file.begin(), file.end());
    const Bytes plain = tarv_sec::AesAuthenticateDecryptReadIV(kAesKey, blob);
    EXPECT_EQ(std::string(plain.begin(), plain.end()), "first part, second part");

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
    AesCipherStream stream;
    stream.SetEncryptionKey(kAesKey);
    stream.GetStream() << "secret";
    stream.WriteToFile(Path("doc"));
    std::string file = ReadFile(Path("doc"));
    file[14] ^= 1;
    WriteFile(Path("doc"), file);
    try {
        AesCipherStream tampered(Path("doc"), kAesKey);
        FAIL();
    } catch (const tarv_sec::AesAuthenticationFailed& error) {
        EXPECT_STREQ(error.what(), "Failed to authenticate.");
    }
    try {
        AesCipherStream missing(Path("missing"), kAesKey);
        FAIL();
    } catch (const kit::IoError& error) {
        EXPECT_EQ(std::string(error.what()), Path("missing") + " is not readable");
    }
}

TEST_F(CipherStreamTest, RefusedWritesLeaveThePreviousFileAlone)
{
    WriteFile(Path("keep"), "previous");

    AesCipherStream noKey;
    noKey.GetStream() << "plain";
    try {
        noKey.WriteToFile(Path("keep"));
        FAIL();
    } catch (const CipherStreamWriteError& error) {
        EXPECT_STREQ(error.what(), "Unable to write encrypted data to file without key.");
    }
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

    EXPECT_EQ(ReadFile(Path("keep")), "previous");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);
}

TEST_F(CipherStreamTest, FailedWritesLeaveThePreviousFileAlone)
{
    AesCipherStream aes;
    aes.SetEncryptionKey(kAesKey);
    aes.GetStream() << std::string(200000, 'a');
    try {
        aes.WriteToFile("/dev/full");
        FAIL();
    } catch (const CipherStreamWriteError& error) {
        EXPECT_EQ(std::string(error.what())
                      .rfind("WriteToFile failed with good()=false, eof()=false, fail()=true, "
                             "bad()=true, ",
                             0),
                  0u)
            << error.what();
    }

    TwoFishCipherStream twofish(Bytes{}, kTwofishKey, kIv);
    twofish.GetStream() << std::string(200000, 'b');
    EXPECT_THROW(twofish.WriteToFile("/dev/full"), CipherStreamWriteError);

    // A disk that fills up halfway through a regular file.
    WriteFile(Path("aes"), "previous aes");
    WriteFile(Path("twofish"), "previous twofish");
    {
        const FileSizeLimit limit(4096);
        EXPECT_THROW(aes.WriteToFile(Path("aes")), std::runtime_error);
        twofish.GetStream().clear();
        twofish.GetStream().seekg(0);
        EXPECT_THROW(twofish.WriteToFile(Path("twofish")), std::runtime_error);
    }
    EXPECT_EQ(ReadFile(Path("aes")), "previous aes");
    EXPECT_EQ(ReadFile(Path("twofish")), "previous twofish");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 2);
}

TEST_F(CipherStreamTest, TwofishFileLayoutsAndIvHandling)
{
    const std::string text = "twenty-seven bytes of text!";
    TwoFishCipherStream stream(Bytes{}, kTwofishKey, kIv);
    stream.GetStream() << text;
    stream.WriteToFile(Path("doc"));
    // Ciphertext only, no IV in the file.
    const Bytes plain(text.begin(), text.end());
    const std::string file = ReadFile(Path("doc"));
    EXPECT_EQ(Bytes(file.begin(), file.end()),
              tarv_sec::TwoFishBlockEncrypt(kTwofishKey, kIv, plain));

    EXPECT_EQ(Contents(TwoFishCipherStream(Path("doc"), kTwofishKey, kIv)), text);
    EXPECT_EQ(Contents(TwoFishCipherStream(Path("doc"), {}, {})), file);
    EXPECT_EQ(Contents(TwoFishCipherStream(std::string(), kTwofishKey, kIv)), "");

    // IV || ciphertext, as generic_encrypt makes it, opens with an empty IV.
    std::istringstream in(text);
    const Bytes framed = generic_encrypt(in, text.size(), kTwofishKey, kIv);
    WriteFile(Path("framed"), std::string(framed.begin(), framed.end()));
    EXPECT_EQ(Contents(TwoFishCipherStream(Path("framed"), kTwofishKey, {})), text);
    EXPECT_EQ(Contents(TwoFishCipherStream(framed, kTwofishKey, {})),
              std::string(framed.begin(), framed.end()));

    // Files of 0 and 11 bytes cannot hold an IV; 27 bytes hold IV and 11 more.
    for (const std::size_t n : {0u, 11u}) {
        WriteFile(Path("short"), std::string(n, 'x'));
        EXPECT_THROW(TwoFishCipherStream(Path("short"), kTwofishKey, {}), std::runtime_error);
        std::istringstream shortIn(std::string(n, 'x'));
        EXPECT_THROW(TwoFishCipherStream(shortIn, kTwofishKey, {}), std::runtime_error);
    }
    WriteFile(Path("short"), std::string(framed.begin(), framed.begin() + 27));
    EXPECT_EQ(Contents(TwoFishCipherStream(Path("short"), kTwofishKey, {})), text.substr(0, 11));

    // Unreadable files, including one that opens but does not read.
    EXPECT_THROW(TwoFishCipherStream(Path("missing"), kTwofishKey, kIv), kit::IoError);
    for (const Bytes& iv : {kIv, Bytes{}}) {
        EXPECT_THROW(TwoFishCipherStream(m_dir.string(), kTwofishKey, iv), kit::IoError);
    }
    EXPECT_THROW(TwoFishCipherStream(m_dir.string(), {}, {}), kit::IoError);
    EXPECT_THROW(AesCipherStream(m_dir.string(), kAesKey), kit::IoError);
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

TEST_F(CipherStreamTest, TwofishEncryptedBytesFollowTheReadPosition)
{
    TwoFishCipherStream stream(Bytes{}, kTwofishKey, kIv);
    EXPECT_EQ(stream.GetDataSize(), 0u);
    stream.GetStream() << "hello";
    EXPECT_EQ(stream.GetDataSize(), 5u);
    const Bytes first = stream.GetEncryptedBytes();
    EXPECT_EQ(first,
              tarv_sec::TwoFishBlockEncrypt(kTwofishKey, kIv, Bytes{'h', 'e', 'l', 'l', 'o'}));
    EXPECT_EQ(stream.GetEncryptedBytes(), Bytes(5));

    TwoFishCipherStream plain(Bytes{'a', 'b'}, {}, {});
    EXPECT_EQ(plain.GetEncryptedBytes(), (Bytes{'a', 'b'}));
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

    AesCipherStream aes;
    aes.GetStream() << "z";
    AesCipherStream moved(std::move(aes));
    EXPECT_EQ(Contents(moved), "z");
    EXPECT_THROW(aes.GetStream(), std::logic_error);
}
