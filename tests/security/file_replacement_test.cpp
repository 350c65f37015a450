#include "support.h"

#include <algorithm>
#include <atomic>
#include <crypto++/cryptlib.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <iostream>
#include <kit/errors.h>
#include <optional>
#include <random>
#include <security/aes_ccm.h>
#include <security/aes_cipher_stream.h>
#include <security/internal/replacing_file.h>
#include <security/rsa_keys.h>
#include <security/twofish_cipher_stream.h>
#include <set>
#include <sys/inotify.h>
#include <sys/mman.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

// Every file the library writes replaces its target through a temporary
// beside it. That road must serve its user as a plain truncating write would,
// and must not be taken over by others.

using tarv_sec::ReplacingFile;
namespace fs = std::filesystem;

namespace {

// The folder whose syncs are noted, and what each sync of this program put on
// the disk there while it was watched.
fs::path g_watched;
std::vector<std::string> g_syncs;
// Which files this program synced, while they are noted.
bool g_noteSyncedFiles = false;
std::vector<std::pair<dev_t, ino_t>> g_syncedFiles;

bool HoldsTemporaries(const fs::path& folder)
{
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".tmp")
            return true;
    return false;
}

std::string DescribeSync(int fd)
{
    struct stat synced
    {
    };
    struct stat watched
    {
    };
    if (::fstat(fd, &synced) != 0 || ::stat(g_watched.c_str(), &watched) != 0)
        return "unknown";
    const bool renamed = !HoldsTemporaries(g_watched);
    if (S_ISDIR(synced.st_mode) && synced.st_dev == watched.st_dev &&
        synced.st_ino == watched.st_ino)
        return renamed ? "folder" : "folder before the rename";
    if (S_ISREG(synced.st_mode))
        return renamed ? "file after the rename" : "file";
    return "other";
}

} // namespace

// Every fsync of this program passes here, the library's own included, so that
// a test sees what reached the disk and when.
extern "C" __attribute__((visibility("default"))) int fsync(int fd)
{
    if (!g_watched.empty())
        g_syncs.push_back(DescribeSync(fd));
    struct stat synced
    {
    };
    if (g_noteSyncedFiles && ::fstat(fd, &synced) == 0)
        g_syncedFiles.emplace_back(synced.st_dev, synced.st_ino);
    return static_cast<int>(::syscall(SYS_fsync, fd));
}

namespace {

const Bytes kKey(16, 0x5C);
// Somebody else, who owns nothing on this machine: nobody.
constexpr uid_t kOtherUser = 65534;

bool IsRoot()
{
    return ::geteuid() == 0;
}

enum class RunAs
{
    // Somebody who cannot write the folders made here: kOtherUser when
    // running as root (root ignores permission bits), this user otherwise.
    OtherUser,
    ThisUser,
};

// Starts `call` in a child process, which exits with 0 when `call` returned.
// A child that hangs is ended after a minute.
pid_t Fork(RunAs user, const std::function<void()>& call)
{
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(60);
        if (user == RunAs::OtherUser && IsRoot() &&
            (::setgid(kOtherUser) != 0 || ::setuid(kOtherUser) != 0))
            ::_exit(2);
        try {
            call();
        } catch (...) {
            ::_exit(1);
        }
        ::_exit(0);
    }
    return child;
}

// What `call`, run in a child process as `user`, threw: its kind and
// message, or nothing when it returned.
std::optional<std::string> FailureInChild(const std::function<void()>& call,
                                          RunAs user = RunAs::OtherUser)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return "pipe failed";
    const pid_t child = Fork(user, [&] {
        ::close(channel[0]);
        std::string failure;
        try {
            call();
            return;
        } catch (const kit::IoError& error) {
            failure = std::string("io: ") + error.what();
        } catch (const std::invalid_argument& error) {
            failure = std::string("invalid argument: ") + error.what();
        } catch (const CryptoPP::InvalidArgument& error) {
            failure = std::string("invalid argument: ") + error.what();
        } catch (const std::exception& error) {
            failure = std::string("other: ") + error.what();
        }
        (void)!::write(channel[1], failure.data(), failure.size());
        throw std::runtime_error(failure);
    });
    ::close(channel[1]);
    std::string failure;
    char piece[256];
    for (ssize_t n; (n = ::read(channel[0], piece, sizeof piece)) > 0;)
        failure.append(piece, static_cast<std::size_t>(n));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return std::nullopt;
    return failure;
}

// Kills `child` with SIGKILL as soon as its writing `name` in `folder` shows:
// the file no longer has `oldSize` bytes, or another file there has content.
// A child that finishes first is merely reaped. True when it was killed.
bool KillOnceUnderWay(pid_t child, const fs::path& folder, const std::string& name,
                      std::uintmax_t oldSize)
{
    const auto underWay = [&] {
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(folder, error)) {
            const std::uintmax_t size = entry.file_size(error);
            if (error)
                continue;
            if (entry.path().filename() == name ? size != oldSize : size > 0)
                return true;
        }
        return false;
    };
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (underWay()) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return true;
        }
    }
    return false;
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

// Every writer of files, each writing into `folder` under a name ending in
// `suffix`: the cipher streams, the decrypting writer and the key pair.
std::vector<std::pair<std::string, std::function<void()>>> Writers(const fs::path& folder,
                                                                   const std::string& suffix)
{
    return {
        {"AES stream",
         [=] {
             tarv_sec::AesCipherStream stream;
             stream.SetEncryptionKey(kKey);
             stream.GetStream() << "document";
             stream.WriteToFile(folder / ("s" + suffix));
         }},
        {"decrypting writer",
         [=] {
             const Bytes blob = tarv_sec::AesAuthenticateEncryptCreateIV(kKey, {'d', 'o', 'c'});
             if (!tarv_sec::AesAuthenticateDecryptToFile(kKey, blob, folder / ("d" + suffix)))
                 throw std::runtime_error("not authenticated");
         }},
        {"Twofish stream",
         [=] {
             tarv_sec::TwoFishCipherStream stream(Bytes{}, kKey, Bytes(16, 3));
             stream.GetStream() << "twofish";
             stream.WriteToFile(folder / ("t" + suffix));
         }},
        {"key pair", [=] { (void)tarv_sec::GenerateRsaKeyPair(suffix, folder.string()); }},
    };
}

void WriteAll(const fs::path& folder, const std::string& suffix)
{
    for (const auto& writer : Writers(folder, suffix))
        writer.second();
}

void ExpectWritten(const fs::path& folder, const std::string& suffix)
{
    EXPECT_EQ(tarv_sec::AesCipherStream(folder / ("s" + suffix), kKey).GetStream().view(),
              "document");
    EXPECT_EQ(AsString(ReadFile(folder / ("d" + suffix))), "doc");
    EXPECT_EQ(tarv_sec::TwoFishCipherStream(folder / ("t" + suffix), kKey, Bytes(16, 3))
                  .GetStream()
                  .view(),
              "twofish");
    const auto [privatePath, publicPath] = tarv_sec::GetRsaKeyPairNames(suffix, folder.string());
    EXPECT_TRUE(tarv_sec::ComparePublicKeys(tarv_sec::LoadPublicKey(publicPath),
                                            tarv_sec::LoadPrivateKey(privatePath)));
}

std::size_t Entries(const fs::path& folder)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
}

// The names Writers() write in a folder.
std::vector<std::string> WrittenNames(const std::string& suffix)
{
    return {"s" + suffix, "d" + suffix, "t" + suffix, suffix + "-private.key",
            suffix + "-public.key"};
}

// Places, as `user`, a link at each name the writers write in `folder`,
// leading to the same name in `targets`.
void PlantLinks(RunAs user, const fs::path& folder, const fs::path& targets,
                const std::string& suffix)
{
    EXPECT_EQ(FailureInChild(
                  [&] {
                      for (const std::string& name : WrittenNames(suffix))
                          fs::create_symlink(targets / name, folder / name);
                  },
                  user),
              std::nullopt)
        << "planting links in " << folder;
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
    EXPECT_EQ(Entries(dir.path()), 5u);
}

// A write that cannot go through a temporary beside the target would have to
// destroy the old file before the new one exists: it is refused instead, with
// the folder named, and the old file is left as it was.
TEST(FileReplacement, WritesIntoFoldersThatAreNotWritableAreRefused)
{
    const ScratchDir dir;
    const fs::path locked = dir.path() / "locked";
    fs::create_directory(locked);
    for (const std::string name : {"s-k", "d-k", "t-k", "-k-private.key", "-k-public.key"})
        WriteOthersFile(locked / name, 0644);
    fs::permissions(locked, fs::perms(0555));
    for (const auto& [name, write] : Writers(locked, "-k")) {
        const std::optional<std::string> failure = FailureInChild(write);
        if (!failure) {
            ADD_FAILURE() << name << " wrote into " << locked;
            continue;
        }
        EXPECT_TRUE(failure->starts_with("io: Unable to write to " + locked.string())) << *failure;
        EXPECT_NE(failure->find("folder " + locked.string()), std::string::npos) << *failure;
    }
    // A key or IV that the cipher refuses is reported as such, before any
    // file is opened.
    const std::pair<std::string, std::function<void()>> refusedArguments[] = {
        {"invalid argument: AES: 15 is not a valid key length",
         [&] {
             tarv_sec::AesCipherStream stream;
             stream.SetEncryptionKey(Bytes(15, 1));
             stream.GetStream() << std::string(30, 'x');
             stream.WriteToFile(locked / "s-k");
         }},
        {"invalid argument: initVector size 8 is wrong.",
         [&] {
             tarv_sec::TwoFishCipherStream stream(Bytes(30, 'x'), {}, {});
             stream.SetEncryptionKey(kKey);
             stream.SetInitVector(Bytes(8, 2));
             stream.WriteToFile(locked / "t-k");
         }},
    };
    for (const auto& [expected, write] : refusedArguments)
        EXPECT_EQ(FailureInChild(write), expected);
    fs::permissions(locked, fs::perms(0755));
    for (const auto& entry : fs::directory_iterator(locked)) {
        const std::string content = AsString(ReadFile(entry.path()));
        EXPECT_TRUE(content == "previous")
            << entry.path() << " holds " << content.size() << " bytes";
    }
    EXPECT_EQ(Entries(locked), 5u);
}

// A writer killed partway, where the folder may be written and where it may
// not, leaves the old file or the whole new one, never a part.
TEST(FileReplacement, AWriteKilledPartwayLeavesTheOldFileWhole)
{
    const ScratchDir dir;
    const fs::path open = dir.path() / "open";
    const fs::path locked = dir.path() / "locked";
    const std::string document(16 * 1024 * 1024, 'n');
    for (const fs::path& folder : {open, locked}) {
        fs::create_directory(folder);
        WriteOthersFile(folder / "doc", 0666);
    }
    fs::permissions(open, fs::perms(0777));
    fs::permissions(locked, fs::perms(0555));
    for (const fs::path& folder : {open, locked}) {
        const pid_t child = Fork(RunAs::OtherUser, [&] {
            tarv_sec::TwoFishCipherStream stream(Bytes(document.begin(), document.end()), {}, {});
            stream.WriteToFile(folder / "doc");
        });
        const bool killed = KillOnceUnderWay(child, folder, "doc", std::string("previous").size());
        if (folder == open) {
            EXPECT_TRUE(killed) << "the write was over before it could be killed";
        }
        const std::string written = AsString(ReadFile(folder / "doc"));
        EXPECT_TRUE(written == "previous" || written == document)
            << folder << " holds " << written.size() << " bytes";
    }
    fs::permissions(locked, fs::perms(0755));
}

// Documents and public keys stay with the owner of the file they replace; a
// private key never does.
TEST(FileReplacement, ReplacedFilesKeepTheirOwnerGroupAndModeExceptPrivateKeys)
{
    if (!IsRoot())
        GTEST_SKIP() << "only root may replace another user's file";
    const ScratchDir dir;
    const std::pair<std::string, mode_t> files[] = {{"s-k", 0640},
                                                    {"d-k", 0604},
                                                    {"t-k", 0600},
                                                    {"-k-private.key", 0644},
                                                    {"-k-public.key", 0644}};
    for (const auto& [name, mode] : files)
        WriteOthersFile(dir / name, mode);
    WriteAll(dir.path(), "-k");
    ExpectWritten(dir.path(), "-k");
    for (const auto& [name, mode] : files) {
        const struct stat status = StatOf(dir / name);
        const bool privateKey = name.ends_with("private.key");
        EXPECT_EQ(status.st_uid, privateKey ? ::geteuid() : kOtherUser) << name;
        EXPECT_EQ(status.st_gid, privateKey ? ::getegid() : kOtherUser) << name;
        EXPECT_EQ(status.st_mode & 07777, privateKey ? 0600 : mode) << name;
    }
}

// Where others may create files, someone may plant one at the private key's
// name and keep it open, or plant a pipe or a link there. The key reaches
// none of them: it is refused, or it goes into a file of the caller's own.
TEST(FileReplacement, PrivateKeysNeverReachAFilePlantedByAnotherUser)
{
    if (!IsRoot())
        GTEST_SKIP() << "only root may plant another user's file";
    const ScratchDir dir;
    fs::permissions(dir.path(), fs::perms(01777));
    const std::string privatePath = tarv_sec::GetRsaKeyPairNames("alice", dir.path()).first;
    const std::string bait = dir / "bait";
    const auto plantEmpty = [](const std::string& path) {
        WriteFile(path, "");
        ASSERT_EQ(::chown(path.c_str(), kOtherUser, kOtherUser), 0);
    };
    const auto plantFile = [&] { plantEmpty(privatePath); };
    const auto plantPipe = [&] {
        ASSERT_EQ(::mkfifo(privatePath.c_str(), 0666), 0);
        ASSERT_EQ(::lchown(privatePath.c_str(), kOtherUser, kOtherUser), 0);
    };
    const auto plantLink = [&] {
        plantEmpty(bait);
        fs::create_symlink(bait, privatePath);
        ASSERT_EQ(::lchown(privatePath.c_str(), kOtherUser, kOtherUser), 0);
    };
    for (const std::function<void()>& plant :
         {std::function<void()>(plantFile), std::function<void()>(plantPipe),
          std::function<void()>(plantLink)}) {
        plant();
        // What the planter would read: their file, or the pipe's other end.
        const int planted = ::open(privatePath.c_str(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(planted, 0);
        // In a child: reading back a key written into the pipe would wait for
        // ever.
        const std::optional<std::string> failure = FailureInChild(
            [&] { (void)tarv_sec::GenerateRsaKeyPair("alice", dir.path()); }, RunAs::ThisUser);
        if (failure) {
            EXPECT_TRUE(failure->starts_with("io: Unable to write to " + privatePath)) << *failure;
        } else {
            struct stat status
            {
            };
            ASSERT_EQ(::stat(privatePath.c_str(), &status), 0);
            EXPECT_EQ(status.st_uid, ::geteuid());
            EXPECT_EQ(status.st_mode & 07777, 0600u);
        }
        char byte = 0;
        const ssize_t leaked = ::read(planted, &byte, 1);
        EXPECT_TRUE(leaked <= 0) << "the planted file received the private key";
        ::close(planted);
        std::error_code ignored;
        fs::remove(privatePath, ignored);
        fs::remove(bait, ignored);
    }
}

// In a folder where everyone may create files but remove only their own, like
// /tmp, a link that someone else placed at the name written would send the
// caller's bytes to a file of that someone's choosing: it is refused, whether
// it stands at the file's own name, in place of the folder named, or further
// along a link of the caller's own. The files it leads to are left untouched.
TEST(FileReplacement, LinksAnotherUserPlacedInASharedFolderAreRefused)
{
    if (!IsRoot())
        GTEST_SKIP() << "only root may act as another user";
    const ScratchDir dir;
    const fs::path shared = dir.path();
    fs::permissions(shared, fs::perms(01777));
    const fs::path secrets = shared / "secrets";
    const fs::path mine = shared / "mine";
    fs::create_directory(secrets);
    fs::permissions(secrets, fs::perms(0700));
    fs::create_directory(mine);
    for (const std::string& name : WrittenNames("-x")) {
        WriteFile(secrets / name, "root only");
        fs::permissions(secrets / name, fs::perms(0600));
    }
    PlantLinks(RunAs::OtherUser, shared, secrets, "-x");
    EXPECT_EQ(FailureInChild([&] { fs::create_symlink(secrets, shared / "keys"); }), std::nullopt);
    PlantLinks(RunAs::ThisUser, mine, shared, "-x");

    for (const fs::path& folder : {shared, shared / "keys", mine}) {
        for (const auto& [name, write] : Writers(folder, "-x")) {
            const std::string message = ErrorMessage<kit::IoError>(write);
            EXPECT_TRUE(message.starts_with("Unable to write to " + folder.string()))
                << name << " in " << folder << ": " << message;
            EXPECT_NE(message.find("link"), std::string::npos) << message;
        }
    }
    for (const std::string& name : WrittenNames("-x")) {
        const std::string content = AsString(ReadFile(secrets / name));
        EXPECT_TRUE(content == "root only") << name << " holds " << content.size() << " bytes";
    }
    EXPECT_EQ(Entries(secrets), 5u);
}

// The caller's own links, those of the shared folder's owner, and anyone's in
// a folder without that sharing rule, are followed as before.
TEST(FileReplacement, LinksOfTheCallerOrOfTheFolderOwnerAreFollowed)
{
    if (!IsRoot())
        GTEST_SKIP() << "only root may act as another user";
    const ScratchDir dir;
    fs::permissions(dir.path(), fs::perms(01777));
    const fs::path targets = dir.path() / "targets";
    const fs::path theirs = dir.path() / "theirs";
    const fs::path open = dir.path() / "open";
    for (const fs::path& folder : {targets, theirs, open})
        fs::create_directory(folder);
    fs::permissions(targets, fs::perms(0700));
    ASSERT_EQ(::chown(theirs.c_str(), kOtherUser, kOtherUser), 0);
    fs::permissions(theirs, fs::perms(01777));
    fs::permissions(open, fs::perms(0777));

    const std::pair<fs::path, RunAs> planted[] = {
        {dir.path(), RunAs::ThisUser}, {theirs, RunAs::OtherUser}, {open, RunAs::OtherUser}};
    for (const auto& [folder, user] : planted) {
        const std::string suffix = "-" + folder.filename().string();
        PlantLinks(user, folder, targets, suffix);
        for (const std::string& name : WrittenNames(suffix))
            WriteFile(targets / name, "previous");
        WriteAll(folder, suffix);
        ExpectWritten(targets, suffix);
        for (const std::string& name : WrittenNames(suffix))
            EXPECT_TRUE(fs::is_symlink(folder / name)) << folder / name;
    }
}

// Links that only the kernel can follow, /dev/stdout leading to a pipe and
// /proc/self/fd/N leading to a pipe or file the caller holds open, still take
// the pipe or file there; a held folder's link leads into that folder, where
// a new file is made as anywhere else.
TEST(FileReplacement, StandardOutputAndOpenDescriptorsReachWhatIsBehindThem)
{
    const ScratchDir dir;
    WriteFile(dir / "held", "previous");
    const std::optional<std::string> failure = FailureInChild(
        [&] {
            int channel[2];
            if (::pipe(channel) != 0 || ::dup2(channel[1], STDOUT_FILENO) < 0)
                throw std::runtime_error("no pipe");
            const int held = ::open((dir / "held").c_str(), O_RDONLY);
            const int folder = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY);
            const auto write = [](const std::string& path, const std::string& text) {
                tarv_sec::TwoFishCipherStream stream(Bytes{}, {}, {});
                stream.GetStream() << text;
                stream.WriteToFile(path);
            };
            write("/dev/stdout", "to the pipe");
            write("/proc/self/fd/" + std::to_string(channel[1]), ", again");
            write("/proc/self/fd/" + std::to_string(held), "to the file");
            write("/proc/self/fd/" + std::to_string(folder) + "/new", "into the folder");
            char received[32] = {};
            const ssize_t n = ::read(channel[0], received, sizeof received);
            if (std::string(received, n > 0 ? static_cast<std::size_t>(n) : 0) !=
                "to the pipe, again")
                throw std::runtime_error("the pipe received something else");
        },
        RunAs::ThisUser);
    EXPECT_EQ(failure, std::nullopt);
    EXPECT_EQ(tarv_sec::TwoFishCipherStream(dir / "held", Bytes{}, Bytes{}).GetStream().view(),
              "to the file");
    EXPECT_EQ(AsString(ReadFile(dir / "new")), "into the folder");
    EXPECT_EQ(Entries(dir.path()), 2u);
}

// Until it is complete, a temporary is readable by its owner alone, whatever
// the file it replaces allows; a new file then gets what the umask leaves,
// as a plain creation would, and a private key stays its owner's alone.
TEST(FileReplacement, TemporariesAreTheOwnersAloneAndNewFilesFollowTheUmask)
{
    const ScratchDir dir;
    WriteFile(dir / "shared", "previous");
    fs::permissions(dir / "shared", fs::perms(0644));
    const mode_t previousUmask = ::umask(027);
    std::vector<mode_t> temporaryModes;
    for (const std::string name : {"shared", "new"}) {
        ReplacingFile file(dir / name, ReplacingFile::Access::Default,
                           [&](const fs::path& temporary) {
                               temporaryModes.push_back(StatOf(temporary).st_mode & 07777);
                           });
        file.Stream() << "document";
        file.Commit();
    }
    WriteAll(dir.path(), "-u");
    ::umask(previousUmask);
    EXPECT_EQ(temporaryModes, (std::vector<mode_t>{0600, 0600}));
    EXPECT_EQ(StatOf(dir / "shared").st_mode & 07777, 0644u);
    EXPECT_EQ(StatOf(dir / "new").st_mode & 07777, 0640u);
    for (const std::string& name : WrittenNames("-u"))
        EXPECT_EQ(StatOf(dir / name).st_mode & 07777, name.ends_with("private.key") ? 0600u : 0640u)
            << name;
}

// A replaced file is on the disk before it takes the old one's name, and the
// folder is synced after, so that a power cut cannot bring the old file back
// once the write has returned.
TEST(FileReplacement, EveryWriteSyncsTheFileAndThenItsFolder)
{
    const ScratchDir dir;
    for (const auto& [name, write] : Writers(dir.path(), "-sync")) {
        const std::size_t before = Entries(dir.path());
        g_syncs.clear();
        g_watched = dir.path();
        write();
        g_watched.clear();
        std::vector<std::string> expected;
        for (std::size_t file = before; file < Entries(dir.path()); ++file) {
            expected.push_back("file");
            expected.push_back("folder");
        }
        EXPECT_EQ(g_syncs, expected) << name;
    }
}

namespace {

const std::string kRootOnly = "root only";

// A folder that only root may enter, holding root-only files at `names` and
// a folder "sub": what an attacker would like root to overwrite.
fs::path MakeSecrets(const fs::path& parent, const std::vector<std::string>& names)
{
    const fs::path secrets = parent / "secrets";
    fs::create_directories(secrets / "sub");
    fs::permissions(secrets, fs::perms(0700));
    for (const std::string& name : names) {
        WriteFile(secrets / name, kRootOnly);
        fs::permissions(secrets / name, fs::perms(0600));
    }
    return secrets;
}

std::size_t TemporariesIn(const fs::path& folder)
{
    std::size_t count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        count += entry.path().extension() == ".tmp" ? 1 : 0;
    return count;
}

// Runs `attack` over and over as kOtherUser, from once it has run once, until
// the returned process is ended with SIGKILL.
pid_t StartAttacker(const std::function<void()>& attack)
{
    int started[2];
    EXPECT_EQ(::pipe(started), 0);
    const pid_t attacker = Fork(RunAs::OtherUser, [&] {
        ::alarm(900);
        ::close(started[0]);
        attack();
        ::close(started[1]);
        for (;;)
            attack();
    });
    ::close(started[1]);
    char byte = 0;
    EXPECT_EQ(::read(started[0], &byte, 1), 0) << "the attacker never started";
    ::close(started[0]);
    return attacker;
}

void StopAttacker(pid_t attacker)
{
    ::kill(attacker, SIGKILL);
    ::waitpid(attacker, nullptr, 0);
}

// Root's decrypted document, written to `path`.
void DecryptTo(const std::string& path, const std::string& document)
{
    const Bytes blob =
        tarv_sec::AesAuthenticateEncryptCreateIV(kKey, Bytes(document.begin(), document.end()));
    if (!tarv_sec::AesAuthenticateDecryptToFile(kKey, blob, path))
        throw std::runtime_error("not authenticated");
}

// True when the document was written, false when refused.
bool WriteDocument(const std::string& path, const std::string& document)
{
    try {
        DecryptTo(path, document);
        return true;
    } catch (const kit::IoError&) {
        return false;
    }
}

// Folders made one below the other from `base` with names of `nameLength`
// bytes, together longer than any path the kernel takes whole; the deepest
// is returned open.
int OpenDeepFolder(const fs::path& base, std::size_t depth, std::size_t nameLength, mode_t mode)
{
    int folder = ::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (std::size_t level = 0; level < depth && folder >= 0; ++level) {
        const std::string name(nameLength, static_cast<char>('a' + level % 26));
        EXPECT_EQ(::mkdirat(folder, name.c_str(), 0755), 0);
        const int next = ::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(folder);
        folder = next;
    }
    EXPECT_EQ(::fchmod(folder, mode), 0);
    return folder;
}

std::string DeepFolderNames(std::size_t depth, std::size_t nameLength)
{
    std::string path;
    for (std::size_t level = 0; level < depth; ++level)
        path += (level ? "/" : "") + std::string(nameLength, static_cast<char>('a' + level % 26));
    return path;
}

} // namespace

// In a shared folder like /tmp, another user swaps the entries on the way to
// the file while root writes, thousands of times: each write goes where its
// entries led when they were looked at, or is refused, but never through a
// link swapped in since, and leaves no temporary file behind.
TEST(FileReplacement, EntriesSwappedDuringWritesNeverLeadThroughTheirLinks)
{
    if (!IsRoot())
        GTEST_SKIP() << "only root may act as another user";
    constexpr int kWrites = 2000;
    const ScratchDir dir;
    const fs::path shared = dir.path() / "shared";
    const fs::path mine = dir.path() / "mine";
    fs::create_directories(shared);
    fs::create_directories(mine);
    fs::permissions(shared, fs::perms(01777));
    const fs::path secrets = MakeSecrets(dir.path(), {"victim"});
    const fs::path victim = secrets / "victim";
    fs::create_symlink(shared / "name", mine / "out");
    fs::create_symlink(shared / "sub", mine / "folder");
    ASSERT_EQ(FailureInChild([&] {
                  fs::create_directory(shared / "his");
                  fs::create_symlink(secrets / "sub", shared / "his.swap");
              }),
              std::nullopt);

    struct Race
    {
        std::string name;
        fs::path written;
        std::function<void()> attack;
    };
    const Race races[] = {
        {"his folder swapped for his link before ..", shared / "his/../victim",
         [&] {
             (void)::renameat2(AT_FDCWD, (shared / "his").c_str(), AT_FDCWD,
                               (shared / "his.swap").c_str(), RENAME_EXCHANGE);
         }},
        {"missing name behind root's link appearing as his link", mine / "out",
         [&] {
             (void)::symlink(victim.c_str(), (shared / "name").c_str());
             (void)::unlink((shared / "name").c_str());
         }},
        {"missing folder behind root's link appearing as his link", mine / "folder/victim",
         [&] {
             (void)::symlink(secrets.c_str(), (shared / "sub").c_str());
             (void)::unlink((shared / "sub").c_str());
         }},
        {"missing folder appearing as his link", shared / "sub/victim",
         [&] {
             (void)::symlink(secrets.c_str(), (shared / "sub").c_str());
             (void)::unlink((shared / "sub").c_str());
         }},
    };
    for (const Race& race : races) {
        int writeThroughs = 0;
        int written = 0;
        const pid_t attacker = StartAttacker(race.attack);
        for (int write = 0; write < kWrites; ++write) {
            written += WriteDocument(race.written, "root's document") ? 1 : 0;
            if (AsString(ReadFile(victim)) != kRootOnly) {
                ++writeThroughs;
                WriteFile(victim, kRootOnly);
            }
            // Root's own file where the attacker's link was wanted.
            struct stat status
            {
            };
            if (::lstat((shared / "name").c_str(), &status) == 0 && status.st_uid == 0)
                fs::remove(shared / "name");
        }
        StopAttacker(attacker);
        std::cout << race.name << ": " << written << " of " << kWrites << " written, "
                  << writeThroughs << " through his link\n";
        EXPECT_EQ(writeThroughs, 0) << race.name << ", " << written << " written";
        EXPECT_EQ(TemporariesIn(dir.path()), 0u) << race.name;
        EXPECT_TRUE(fs::is_symlink(mine / "out")) << race.name;
        EXPECT_TRUE(fs::is_symlink(mine / "folder")) << race.name;
    }
}

// No length of path turns the checks off: root working in a deep shared
// folder, or reaching one through a link of its own, is refused another
// user's link there as anywhere else, and writes its own files there.
TEST(FileReplacement, LinksAnotherUserPlacedDeepInASharedFolderAreRefused)
{
    if (!IsRoot())
        GTEST_SKIP() << "only root may act as another user";
    constexpr std::size_t kDepth = 20;
    constexpr std::size_t kNameLength = 250;
    const ScratchDir dir;
    const fs::path secrets = MakeSecrets(dir.path(), WrittenNames("-x"));
    const fs::path mine = dir.path() / "mine";
    fs::create_directory(mine);
    const int deep = OpenDeepFolder(dir.path(), kDepth, kNameLength, 01777);
    ASSERT_GE(deep, 0);
    // Root's link leads most of the way down, the path given the rest.
    constexpr std::size_t kLinked = 15;
    fs::create_symlink(dir.path() / DeepFolderNames(kLinked, kNameLength), mine / "deep");
    fs::path throughLink = mine / "deep";
    for (std::size_t level = kLinked; level < kDepth; ++level)
        throughLink /= std::string(kNameLength, static_cast<char>('a' + level % 26));
    ASSERT_EQ(FailureInChild([&] {
                  if (::symlinkat(secrets.c_str(), deep, "keys") != 0)
                      throw std::runtime_error("no link");
              }),
              std::nullopt);

    for (const fs::path& folder : {fs::path("keys"), throughLink / "keys"}) {
        for (const auto& [name, write] : Writers(folder, "-x")) {
            const std::optional<std::string> failure = FailureInChild(
                [&, write = write] {
                    if (::fchdir(deep) != 0)
                        throw std::runtime_error("no deep folder");
                    write();
                },
                RunAs::ThisUser);
            ASSERT_TRUE(failure.has_value()) << name << " wrote through " << folder;
            EXPECT_TRUE(failure->starts_with("io: Unable to write to " + folder.string()))
                << *failure;
            EXPECT_NE(failure->find("link"), std::string::npos) << *failure;
        }
    }
    const std::optional<std::string> ownFiles = FailureInChild(
        [&] {
            if (::fchdir(deep) != 0)
                throw std::runtime_error("no deep folder");
            if (!WriteDocument("doc", "here") || !WriteDocument(throughLink / "doc2", "there"))
                throw std::runtime_error("refused");
            if (AsString(ReadFile("doc")) != "here" || AsString(ReadFile("doc2")) != "there")
                throw std::runtime_error("not written");
        },
        RunAs::ThisUser);
    EXPECT_EQ(ownFiles, std::nullopt);
    ::close(deep);
    for (const std::string& name : WrittenNames("-x"))
        EXPECT_EQ(AsString(ReadFile(secrets / name)), kRootOnly) << name;
    // Deeper than std::filesystem can remove.
    EXPECT_EQ(std::system(("rm -rf -- " + dir.path().string() + "/a*").c_str()), 0);
}

// Another user's pipe or device in a shared folder would hand root's document
// to whoever reads at its other end; a pipe nobody reads would hold the
// writer up for ever. Neither may happen, while root's own pipe still works.
TEST(FileReplacement, PipesAndDevicesAnotherUserPlacedInASharedFolderAreRefused)
{
    if (!IsRoot())
        GTEST_SKIP() << "only root may act as another user";
    const ScratchDir dir;
    fs::permissions(dir.path(), fs::perms(01777));
    const std::string read = dir / "read-pipe";
    const std::string idle = dir / "idle-pipe";
    const std::string device = dir / "device";
    const std::string own = dir / "own-pipe";
    const std::string ownIdle = dir / "own-idle-pipe";
    for (const std::string& pipe : {read, idle, own, ownIdle})
        ASSERT_EQ(::mkfifo(pipe.c_str(), 0666), 0);
    ASSERT_EQ(::mknod(device.c_str(), S_IFCHR | 0666, ::makedev(1, 3)), 0);
    for (const std::string& planted : {read, idle, device})
        ASSERT_EQ(::lchown(planted.c_str(), kOtherUser, kOtherUser), 0);
    const int reader = ::open(read.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    const int ownReader = ::open(own.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    ASSERT_GE(ownReader, 0);

    const auto writeTo = [](const std::string& path) {
        return FailureInChild([&] { DecryptTo(path, "root's document"); }, RunAs::ThisUser);
    };
    for (const std::string& planted : {read, idle, device}) {
        const std::optional<std::string> failure = writeTo(planted);
        ASSERT_TRUE(failure.has_value()) << planted << " received the document";
        EXPECT_TRUE(failure->starts_with("io: Unable to write to " + planted + ": ")) << *failure;
        EXPECT_NE(failure->find("another user"), std::string::npos) << *failure;
    }
    char received[64] = {};
    EXPECT_LE(::read(reader, received, sizeof received), 0) << "the planter read the document";
    // Refused at once, not ended by the child's alarm.
    const std::optional<std::string> idleFailure = writeTo(ownIdle);
    EXPECT_TRUE(idleFailure && idleFailure->starts_with("io: Unable to write to " + ownIdle))
        << "a pipe nobody reads held the writer up";
    EXPECT_EQ(writeTo(own), std::nullopt);
    const ssize_t n = ::read(ownReader, received, sizeof received);
    EXPECT_EQ(std::string(received, n > 0 ? static_cast<std::size_t>(n) : 0), "root's document");
    ::close(reader);
    ::close(ownReader);
}

// Another user's file in a shared folder stays theirs and as it was, as the
// kernel keeps it when it is opened there for writing: replacing it would
// hand root's document to its planter. In a shared folder of that user's own,
// their file is replaced as before.
TEST(FileReplacement, FilesAnotherUserPlacedInASharedFolderAreRefused)
{
    if (!IsRoot())
        GTEST_SKIP() << "only root may act as another user";
    const ScratchDir dir;
    const fs::path everyone = dir.path() / "everyone";
    const fs::path group = dir.path() / "group";
    const fs::path theirs = dir.path() / "theirs";
    for (const fs::path& folder : {everyone, group, theirs})
        fs::create_directory(folder);
    fs::permissions(everyone, fs::perms(01777));
    ASSERT_EQ(::chown(group.c_str(), 0, kOtherUser), 0);
    fs::permissions(group, fs::perms(01770));
    ASSERT_EQ(::chown(theirs.c_str(), kOtherUser, kOtherUser), 0);
    fs::permissions(theirs, fs::perms(01777));
    for (const fs::path& folder : {everyone, group, theirs}) {
        EXPECT_EQ(FailureInChild([&] {
                      for (const std::string& name : WrittenNames("-p")) {
                          WriteFile(folder / name, "previous");
                          fs::permissions(folder / name, fs::perms(0644));
                      }
                  }),
                  std::nullopt);
    }

    for (const fs::path& folder : {everyone, group}) {
        for (const auto& [name, write] : Writers(folder, "-p")) {
            const std::string message = ErrorMessage<kit::IoError>(write);
            EXPECT_TRUE(message.starts_with("Unable to write to " + folder.string()))
                << name << ": " << message;
            EXPECT_NE(message.find("another user"), std::string::npos) << message;
        }
        for (const std::string& name : WrittenNames("-p")) {
            EXPECT_EQ(AsString(ReadFile(folder / name)), "previous") << folder / name;
            EXPECT_EQ(StatOf(folder / name).st_uid, kOtherUser) << folder / name;
        }
        EXPECT_EQ(Entries(folder), 5u);
    }
    WriteAll(theirs, "-p");
    ExpectWritten(theirs, "-p");
}

namespace {

std::set<std::string> Listing(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// Every name made in the watched folders, however briefly it existed.
class CreationWatch
{
public:
    explicit CreationWatch(const std::vector<fs::path>& folders)
    {
        for (const fs::path& folder : folders)
            EXPECT_GE(::inotify_add_watch(m_fd, folder.c_str(), IN_CREATE | IN_MOVED_TO), 0)
                << folder;
    }
    ~CreationWatch() { ::close(m_fd); }
    CreationWatch(const CreationWatch&) = delete;
    CreationWatch& operator=(const CreationWatch&) = delete;

    std::vector<std::string> Made() const
    {
        std::vector<std::string> names;
        alignas(struct inotify_event) char events[4096];
        for (ssize_t n; (n = ::read(m_fd, events, sizeof events)) > 0;) {
            for (const char* at = events; at < events + n;) {
                const auto* event = reinterpret_cast<const struct inotify_event*>(at);
                names.emplace_back(event->len > 0 ? event->name : "");
                at += sizeof(struct inotify_event) + event->len;
            }
        }
        return names;
    }

private:
    const int m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
};

// A small file system of the test's own at `folder`, which Detach() takes
// away from every path, as a pulled USB stick is, while the files open on it
// stay open.
class ScratchMount
{
public:
    ScratchMount(const fs::path& folder, const std::string& options)
        : m_folder(folder)
    {
        m_mounted =
            ::mount("tmpfs", folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0;
        EXPECT_TRUE(m_mounted) << "cannot mount at " << folder;
    }
    ~ScratchMount() { Detach(); }
    ScratchMount(const ScratchMount&) = delete;
    ScratchMount& operator=(const ScratchMount&) = delete;

    void Detach()
    {
        if (m_mounted) {
            EXPECT_EQ(::umount2(m_folder.c_str(), MNT_DETACH), 0);
        }
        m_mounted = false;
    }

private:
    fs::path m_folder;
    bool m_mounted = false;
};

// What the file open as `fd` holds, from its start.
std::string ContentOf(int fd)
{
    std::string content;
    char piece[4096];
    for (ssize_t n; (n = ::pread(fd, piece, sizeof piece, static_cast<off_t>(content.size()))) > 0;)
        content.append(piece, static_cast<std::size_t>(n));
    return content;
}

// A name no one else uses, given to files whose links could lead a write
// astray into /: what such a write made there is removed at the end of the
// test, however it went.
class StrayTag
{
public:
    StrayTag() = default;
    ~StrayTag()
    {
        for (const std::string& name : Listing("/"))
            if (name.find(m_tag) != std::string::npos)
                fs::remove(fs::path("/") / name);
    }
    StrayTag(const StrayTag&) = delete;
    StrayTag& operator=(const StrayTag&) = delete;

    const std::string& Name() const { return m_tag; }

private:
    const std::string m_tag = "tarv-" + std::to_string(std::random_device{}());
};

} // namespace

// A descriptor whose file no path leads to, as a deleted file, a memfd, an
// O_TMPFILE file or a file on a detached file system, is written through its
// link into that very file, truncated, and synced: its link's text names no
// file, and a file made where that text points would hold the plaintext for
// others to read. The same holds for another process's descriptor.
TEST(FileReplacement, FilesWithoutAPathAreWrittenThroughTheirDescriptors)
{
    if (!IsRoot())
        GTEST_SKIP() << "only root may mount a file system to detach";
    const ScratchDir dir;
    const StrayTag stray;
    const std::string& tag = stray.Name();
    const fs::path gone = dir.path() / "gone";
    const fs::path shared = dir.path() / "shared";
    const fs::path detached = dir.path() / "detached";
    for (const fs::path& folder : {gone, shared, detached})
        fs::create_directory(folder);
    fs::permissions(shared, fs::perms(01777));
    const std::string previous(200, 'p');
    std::vector<std::pair<std::string, int>> held;
    const auto hold = [&](const std::string& what, int fd) {
        EXPECT_GE(fd, 0) << what;
        EXPECT_EQ(::pwrite(fd, previous.data(), previous.size(), 0),
                  static_cast<ssize_t>(previous.size()))
            << what;
        held.emplace_back(what, fd);
    };
    hold("a deleted file", ::open((gone / "gone.doc").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    EXPECT_EQ(::unlink((gone / "gone.doc").c_str()), 0);
    hold("a memfd", ::memfd_create(tag.c_str(), MFD_CLOEXEC));
    hold("an O_TMPFILE file in a shared folder",
         ::open(shared.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
    ScratchMount mount(detached, "size=1m");
    hold("a file on a detached file system",
         ::open((detached / (tag + ".doc")).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    mount.Detach();
    ASSERT_FALSE(HasFailure());
    // Holds the same descriptors, being a copy of this process.
    const pid_t holder = Fork(RunAs::ThisUser, [] { ::pause(); });

    const std::vector<fs::path> folders = {"/", dir.path(), gone, shared, detached};
    std::vector<std::set<std::string>> before;
    for (const fs::path& folder : folders)
        before.push_back(Listing(folder));
    const CreationWatch watch(folders);
    for (const auto& [what, fd] : held) {
        struct stat file
        {
        };
        ASSERT_EQ(::fstat(fd, &file), 0);
        for (const std::string& links : {std::string("/proc/self/fd/"), std::string("/dev/fd/"),
                                         "/proc/" + std::to_string(holder) + "/fd/"}) {
            const std::string path = links + std::to_string(fd);
            const std::string document = "root's document through " + path;
            g_syncedFiles.clear();
            g_noteSyncedFiles = true;
            EXPECT_TRUE(WriteDocument(path, document)) << what << " through " << path;
            g_noteSyncedFiles = false;
            EXPECT_EQ(ContentOf(fd), document) << what << " through " << path;
            EXPECT_NE(std::find(g_syncedFiles.begin(), g_syncedFiles.end(),
                                std::pair(file.st_dev, file.st_ino)),
                      g_syncedFiles.end())
                << what << " was not synced";
        }
    }
    EXPECT_EQ(watch.Made(), std::vector<std::string>{});
    for (std::size_t folder = 0; folder < folders.size(); ++folder)
        EXPECT_EQ(Listing(folders[folder]), before[folder]) << folders[folder];
    StopAttacker(holder);
    for (const auto& file : held)
        ::close(file.second);
}

// A descriptor's file that cannot take the document is refused with its path
// named, never replaced by a file made from the link's text: a memfd sealed
// against writing keeps what it holds, as does a file that the caller holds
// open for reading and may not write; a socket says so, and a full file
// system is reported as a failed write.
TEST(FileReplacement, DescriptorsWhoseFilesCannotBeWrittenAreRefused)
{
    if (!IsRoot())
        GTEST_SKIP() << "only root may act as another user and mount a file system";
    const ScratchDir dir;
    const StrayTag stray;
    const std::string& tag = stray.Name();
    const std::set<std::string> rootBefore = Listing("/");

    const int sealed = ::memfd_create(tag.c_str(), MFD_CLOEXEC | MFD_ALLOW_SEALING);
    ASSERT_GE(sealed, 0);
    ASSERT_EQ(::write(sealed, "sealed", 6), 6);
    ASSERT_EQ(::fcntl(sealed, F_ADD_SEALS, F_SEAL_WRITE), 0);
    const std::string sealedPath = "/proc/self/fd/" + std::to_string(sealed);
    const std::string sealedRefusal =
        ErrorMessage<kit::IoError>([&] { DecryptTo(sealedPath, "root's document"); });
    EXPECT_TRUE(sealedRefusal.starts_with("Unable to write to " + sealedPath + ": "))
        << sealedRefusal;
    EXPECT_NE(sealedRefusal.find("sealed"), std::string::npos) << sealedRefusal;
    EXPECT_EQ(ContentOf(sealed), "sealed");
    ::close(sealed);

    int sockets[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets), 0);
    const std::string socketPath = "/dev/fd/" + std::to_string(sockets[0]);
    EXPECT_EQ(ErrorMessage<kit::IoError>([&] { DecryptTo(socketPath, "root's document"); }),
              "Unable to write to " + socketPath +
                  ": it is a socket, which cannot be opened as a file.");
    ::close(sockets[0]);
    ::close(sockets[1]);

    // Where its user could make a file beside it and rename it over it.
    const fs::path open = dir.path() / "open";
    fs::create_directory(open);
    fs::permissions(open, fs::perms(0777));
    const std::string readOnly = open / "read-only.doc";
    WriteFile(readOnly, "read only");
    fs::permissions(readOnly, fs::perms(0444));
    const ino_t readOnlyInode = StatOf(readOnly).st_ino;
    const std::optional<std::string> readOnlyRefusal = FailureInChild([&] {
        const int fd = ::open(readOnly.c_str(), O_RDONLY | O_CLOEXEC);
        DecryptTo("/proc/self/fd/" + std::to_string(fd), "their document");
    });
    EXPECT_TRUE(readOnlyRefusal &&
                readOnlyRefusal->starts_with("io: Unable to write to /proc/self/fd/"))
        << readOnlyRefusal.value_or("written");
    EXPECT_EQ(AsString(ReadFile(readOnly)), "read only");
    EXPECT_EQ(StatOf(readOnly).st_ino, readOnlyInode);
    EXPECT_EQ(Entries(open), 1u);

    const fs::path detached = dir.path() / "detached";
    fs::create_directory(detached);
    ScratchMount mount(detached, "size=64k");
    const int full =
        ::open((detached / (tag + ".doc")).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    mount.Detach();
    ASSERT_GE(full, 0);
    const std::string fullPath = "/proc/self/fd/" + std::to_string(full);
    EXPECT_EQ(ErrorMessage<kit::IoError>([&] { DecryptTo(fullPath, std::string(1 << 20, 'd')); }),
              "Failed writing to file: " + fullPath);
    ::close(full);

    EXPECT_EQ(Listing("/"), rootBefore);
}

// A program whose standard output goes to a log (`program >> log`) or to a
// file (`program > out.key`) and writes a document to /dev/stdout puts it
// into that very file: replacing the file would send all the program prints
// afterwards into the old, unlinked one.
TEST(FileReplacement, StandardOutputRedirectedToAFileIsWrittenInPlace)
{
    const ScratchDir dir;
    const std::string log = dir / "log";
    const std::string out = dir / "out.key";
    WriteFile(log, "earlier run\n");
    WriteFile(out, "previous key");
    const ino_t logInode = StatOf(log).st_ino;
    const ino_t outInode = StatOf(out).st_ino;
    const std::optional<std::string> failure = FailureInChild(
        [&] {
            const auto redirect = [](const std::string& path, int flags) {
                const int fd = ::open(path.c_str(), O_WRONLY | flags);
                if (fd < 0 || ::dup2(fd, STDOUT_FILENO) < 0)
                    throw std::runtime_error("cannot redirect to " + path);
                ::close(fd);
            };
            const auto print = [](const std::string& line) {
                if (::write(STDOUT_FILENO, line.data(), line.size()) !=
                    static_cast<ssize_t>(line.size()))
                    throw std::runtime_error("cannot print");
            };
            redirect(log, O_APPEND);
            print("first line\n");
            tarv_sec::TwoFishCipherStream document(Bytes{}, {}, {});
            document.GetStream() << "document\n";
            document.WriteToFile("/dev/stdout");
            print("next line\n");
            redirect(out, O_TRUNC);
            tarv_sec::AesCipherStream key;
            key.SetEncryptionKey(kKey);
            key.GetStream() << "key";
            key.WriteToFile("/dev/stdout");
        },
        RunAs::ThisUser);
    EXPECT_EQ(failure, std::nullopt);
    EXPECT_EQ(AsString(ReadFile(log)), "document\nnext line\n");
    EXPECT_EQ(StatOf(log).st_ino, logInode);
    EXPECT_EQ(tarv_sec::AesCipherStream(out, kKey).GetStream().view(), "key");
    EXPECT_EQ(StatOf(out).st_ino, outInode);
    EXPECT_EQ(Entries(dir.path()), 2u);
}

// In a shared folder, another user keeps putting his link, pipe or file at
// the name root writes, thousands of times while root writes: root's
// document reaches none of them nor the link's target, and no temporary of
// root's is left behind.
// Whether the entry at `name` is a file of the other user's that holds
// `document`. Looked at through what was opened, never opened blocking: he
// may have put a pipe there meanwhile.
bool HandedOver(const std::string& name, const std::string& document)
{
    const int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status
    {
    };
    std::string held(document.size() + 1, '\0');
    const bool his =
        ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == kOtherUser;
    const ssize_t read = his ? ::pread(fd, held.data(), held.size(), 0) : -1;
    ::close(fd);
    return read == static_cast<ssize_t>(document.size()) &&
           held.compare(0, document.size(), document) == 0;
}

TEST(FileReplacement, EntriesPlantedInTurnAtTheNameNeverReceiveTheDocument)
{
    if (!IsRoot())
        GTEST_SKIP() << "only root may act as another user";
    constexpr int kWrites = 3000;
    const ScratchDir dir;
    const fs::path shared = dir.path() / "shared";
    fs::create_directory(shared);
    fs::permissions(shared, fs::perms(01777));
    const fs::path victim = MakeSecrets(dir.path(), {"victim"}) / "victim";
    const std::string name = shared / "planted";
    // Counted by the attacker, seen here.
    void* const shareable = ::mmap(nullptr, sizeof(std::atomic<int>), PROT_READ | PROT_WRITE,
                                   MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(shareable, MAP_FAILED);
    auto* const received = new (shareable) std::atomic<int>(0);
    struct Planted
    {
        int turn = 0;
        int pipe = -1;
        int file = -1;
    } planted;
    const auto readsSomething = [](int fd, bool pipe) {
        char byte = 0;
        return (pipe ? ::read(fd, &byte, 1) : ::pread(fd, &byte, 1, 0)) > 0;
    };
    const pid_t attacker = StartAttacker([&] {
        for (const bool pipe : {true, false}) {
            int& fd = pipe ? planted.pipe : planted.file;
            if (fd >= 0 && readsSomething(fd, pipe))
                received->fetch_add(1);
            if (fd >= 0)
                ::close(std::exchange(fd, -1));
        }
        (void)::unlink(name.c_str());
        switch (planted.turn++ % 3) {
        case 0:
            (void)::symlink(victim.c_str(), name.c_str());
            break;
        case 1:
            if (::mkfifo(name.c_str(), 0666) == 0)
                planted.pipe = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            break;
        default:
            planted.file = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            break;
        }
        // Root's new file may have taken the name before the pipe was
        // opened; being root's own, it is no pipe of his.
        struct stat status
        {
        };
        if (planted.pipe >= 0 && (::fstat(planted.pipe, &status) != 0 || !S_ISFIFO(status.st_mode)))
            ::close(std::exchange(planted.pipe, -1));
    });
    // A pipe whose reader left must fail the write, not end the test.
    const auto previousHandler = std::signal(SIGPIPE, SIG_IGN);
    int written = 0;
    int writeThroughs = 0;
    // Root's document in a file given to him.
    int handedOver = 0;
    for (int write = 0; write < kWrites; ++write) {
        written += WriteDocument(name, "root's document") ? 1 : 0;
        if (AsString(ReadFile(victim)) != kRootOnly) {
            ++writeThroughs;
            WriteFile(victim, kRootOnly);
        }
        if (HandedOver(name, "root's document"))
            ++handedOver;
        struct stat status
        {
        };
        if (::lstat(name.c_str(), &status) == 0 && status.st_uid == 0)
            fs::remove(name);
    }
    StopAttacker(attacker);
    std::signal(SIGPIPE, previousHandler);
    std::cout << written << " of " << kWrites << " written, " << writeThroughs
              << " through his link, " << received->load() << " into his pipes and files, "
              << handedOver << " handed over to him\n";
    EXPECT_EQ(writeThroughs, 0);
    EXPECT_EQ(handedOver, 0);
    EXPECT_EQ(received->load(), 0);
    EXPECT_EQ(TemporariesIn(dir.path()), 0u);
    ::munmap(shareable, sizeof(std::atomic<int>));
}
