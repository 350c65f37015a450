#include "support.h"

#include <functional>
#include <kit/errors.h>
#include <security/aes_ccm.h>
#include <security/aes_cipher_stream.h>
#include <security/internal/replacing_file.h>
#include <security/rsa_keys.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// Every file the library writes replaces its target through a temporary
// beside it. That road must serve its user as a plain truncating write would,
// and must not be taken over by others.

using tarv_sec::ReplacingFile;
namespace fs = std::filesystem;

namespace {

const Bytes kKey(16, 0x5C);
// Somebody else, who owns nothing on this machine.
constexpr uid_t kOtherUser = 4242;

bool IsRoot()
{
    return ::geteuid() == 0;
}

// Runs `call` as somebody who cannot write the folders made here: as
// kOtherUser in a child process when running as root (root ignores
// permission bits), in this process otherwise. False when it threw.
bool RunAsOtherUser(const std::function<void()>& call)
{
    const auto attempt = [&] {
        try {
            call();
            return true;
        } catch (const std::exception& error) {
            std::fprintf(stderr, "%s\n", error.what());
            return false;
        }
    };
    if (!IsRoot())
        return attempt();
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(::setgid(kOtherUser) == 0 && ::setuid(kOtherUser) == 0 && attempt() ? 0 : 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A file of kOtherUser's, as far as this process may make one.
void WriteOthersFile(const std::string& path, mode_t mode)
{
    WriteFile(path, "previous");
    if (IsRoot()) {
        EXPECT_EQ(::chown(path.c_str(), kOtherUser, kOtherUser), 0);
    }
    EXPECT_EQ(::chmod(path.c_str(), mode), 0);
}

struct stat StatOf(const std::string& path)
{
    struct stat status
    {
    };
    EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
    return status;
}

// Writes a document with the cipher stream writer and the decrypting writer,
// and a key pair, into `folder`, under names ending in `suffix`.
void WriteAll(const fs::path& folder, const std::string& suffix)
{
    tarv_sec::AesCipherStream stream;
    stream.SetEncryptionKey(kKey);
    stream.GetStream() << "document";
    stream.WriteToFile(folder / ("s" + suffix));
    const Bytes blob = tarv_sec::AesAuthenticateEncryptCreateIV(kKey, {'d', 'o', 'c'});
    if (!tarv_sec::AesAuthenticateDecryptToFile(kKey, blob, folder / ("d" + suffix)))
        throw std::runtime_error("not authenticated");
    (void)tarv_sec::GenerateRsaKeyPair(suffix, folder.string());
}

void ExpectWritten(const fs::path& folder, const std::string& suffix)
{
    EXPECT_EQ(tarv_sec::AesCipherStream(folder / ("s" + suffix), kKey).GetStream().view(),
              "document");
    EXPECT_EQ(AsString(ReadFile(folder / ("d" + suffix))), "doc");
    const auto [privatePath, publicPath] = tarv_sec::GetRsaKeyPairNames(suffix, folder.string());
    EXPECT_TRUE(tarv_sec::ComparePublicKeys(tarv_sec::LoadPublicKey(publicPath),
                                            tarv_sec::LoadPrivateKey(privatePath)));
}

std::size_t Entries(const fs::path& folder)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
}

} // namespace

// Whoever may write the folder may swap the temporary's name for a link to a
// file of theirs while the data is on its way. The data must still never
// reach their file.
TEST(FileReplacement, NameSwappedForALinkAfterCreationNeverReceivesTheData)
{
    const ScratchDir dir;
    const std::string stolen = dir / "attacker-owned";
    WriteFile(stolen, "");
    WriteFile(dir / "key", "previous");
    const auto plantLink = [&](const fs::path& temporary) {
        fs::remove(temporary);
        fs::create_symlink(stolen, temporary);
    };
    try {
        ReplacingFile file(dir / "key", ReplacingFile::Access::OwnerOnly, plantLink);
        file.Stream() << "private key bytes";
        file.Commit();
    } catch (const kit::IoError&) {
        // Refusing is right; writing into the link is not.
    }
    EXPECT_EQ(AsString(ReadFile(stolen)), "");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir / "key")));
    EXPECT_EQ(Entries(dir.path()), 2u);
}

TEST(FileReplacement, NamesUpToTheFileSystemLimitWork)
{
    const ScratchDir dir;
    // "-private.key" makes the longest name 255 bytes.
    const std::string suffix(243, 'n');
    WriteAll(dir.path(), suffix);
    ExpectWritten(dir.path(), suffix);
    EXPECT_EQ(Entries(dir.path()), 4u);
}

// A user who may write a file but not its folder can still save it, as any
// program's plain write would; nothing else appears in the folder.
TEST(FileReplacement, WritableFilesInFoldersThatAreNotWritableAreWrittenInPlace)
{
    const ScratchDir dir;
    const fs::path locked = dir.path() / "locked";
    fs::create_directory(locked);
    for (const std::string name : {"s-k", "d-k", "-k-private.key", "-k-public.key"})
        WriteOthersFile(locked / name, 0644);
    fs::permissions(locked, fs::perms(0555));
    EXPECT_TRUE(RunAsOtherUser([&] { WriteAll(locked, "-k"); }));
    fs::permissions(locked, fs::perms(0755));
    ExpectWritten(locked, "-k");
    EXPECT_EQ(Entries(locked), 4u);
    EXPECT_EQ(StatOf(locked / "s-k").st_mode & 07777, 0644u);
    // The private key is closed to others even in a file that was open to them.
    EXPECT_EQ(StatOf(locked / "-k-private.key").st_mode & 07777, 0600u);
}

TEST(FileReplacement, ReplacedFilesKeepTheirOwnerGroupAndMode)
{
    if (!IsRoot())
        GTEST_SKIP() << "only root may replace another user's file";
    const ScratchDir dir;
    const std::pair<std::string, mode_t> files[] = {
        {"s-k", 0640}, {"d-k", 0604}, {"-k-private.key", 0644}, {"-k-public.key", 0644}};
    for (const auto& [name, mode] : files)
        WriteOthersFile(dir / name, mode);
    WriteAll(dir.path(), "-k");
    ExpectWritten(dir.path(), "-k");
    for (const auto& [name, mode] : files) {
        const struct stat status = StatOf(dir / name);
        EXPECT_EQ(status.st_uid, kOtherUser) << name;
        EXPECT_EQ(status.st_gid, kOtherUser) << name;
        EXPECT_EQ(status.st_mode & 07777, name.ends_with("private.key") ? 0600 : mode) << name;
    }
}
