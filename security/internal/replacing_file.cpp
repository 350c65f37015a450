#include <cerrno>
#include <cstdlib>
#include <kit/errors.h>
#include <kit/format.h>
#include <random>
#include <security/internal/replacing_file.h>
#include <system_error>

#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace tarv_sec {

namespace {

// Most file systems allow names of 255 bytes.
constexpr std::size_t kUsualNameLimit = 255;

std::string Utf8(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::size_t NameLimit(const HeldEntry& target)
{
#if defined(_WIN32)
    (void)target;
    return kUsualNameLimit;
#else
    const long limit = ::fpathconf(target.folder.Native(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<std::size_t>(limit) : kUsualNameLimit;
#endif
}

// "<target name>.<random>.tmp" beside the target. A name that a plain write
// could just create must not fail for want of room for the suffix: the
// target's name is shortened instead, at a character boundary.
fs::path TemporaryNameFor(const fs::path& target, std::size_t limit)
{
    std::random_device device;
    const unsigned long long tag = (static_cast<unsigned long long>(device()) << 32) |
                                   static_cast<unsigned long long>(device());
    const std::string suffix = kit::format(".%016llx.tmp", tag);
    std::u8string name = target.filename().u8string();
    if (name.size() + suffix.size() > limit) {
        std::size_t keep = limit > suffix.size() ? limit - suffix.size() : 0;
        while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) {
            --keep;
        }
        name.resize(keep);
    }
    name.append(suffix.begin(), suffix.end());
    return target.parent_path() / fs::path(name);
}

// The mode a plain creation gives a new file: what the umask leaves of 0666.
// The umask is read, as setting it to learn it would race other threads;
// when it cannot be read, the file stays its owner's alone.
#if !defined(_WIN32)
unsigned int NewFileMode()
{
    FileDescriptor status = FileDescriptor::OpenForReading("/proc/self/status");
    std::string text;
    char piece[1024];
    for (long long n = 0; status.IsOpen() && (n = status.Read(piece, sizeof piece)) > 0;) {
        text.append(piece, static_cast<std::size_t>(n));
    }
    const std::string label = "\nUmask:";
    const std::size_t found = text.find(label);
    if (found == std::string::npos) {
        return 0600;
    }
    const unsigned long umask = std::strtoul(text.c_str() + found + label.size(), nullptr, 8);
    return 0666 & ~static_cast<unsigned int>(umask);
}
#endif

#if !defined(_WIN32)
// Why `target`, to be written where it is, did not open, for the message.
std::string WhyNotOpened(int error, const HeldEntry& target)
{
    if (error == EACCES || error == EPERM) {
        return ": this user may not write it.";
    }
    if (error != ENXIO) {
        return {};
    }
    // Sockets, such as a service's standard output, answer as a pipe
    // without a reader does.
    struct stat status
    {
    };
    const bool socket = ::fstatat(target.folder.Native(), target.name.c_str(), &status,
                                  target.kernelLink ? 0 : AT_SYMLINK_NOFOLLOW) == 0 &&
                        S_ISSOCK(status.st_mode);
    return socket ? ": it is a socket, which cannot be opened as a file."
                  : ": nothing reads from it.";
}
#endif

bool FolderRefusesNewFiles(int error)
{
    return error == EACCES || error == EPERM || error == EROFS;
}

} // namespace

ReplacingFile::ReplacingFile(const std::string& path, Access access, const CreatedHook& created)
    : m_path(path)
    , m_access(access)
    , m_target(FindEntry(path))
{
    if (m_target.kernelLink || (m_target.status.exists && !m_target.status.regular)) {
        // Devices and pipes cannot be replaced by renaming; a private key
        // written into one would reach whoever reads at its other end, and
        // one written into a descriptor's file whoever else holds it open.
        if (access == Access::OwnerOnly) {
            throw kit::IoError("Unable to write to " + m_path +
                               (m_target.status.regular
                                    ? ": a private key is written only into a new file of its own."
                                    : ": it is not a regular file."));
        }
        OpenInPlace();
        return;
    }
    CreateTemporary();
    if (created) {
        created(m_target.shownFolder / m_temporary);
    }
}

ReplacingFile::~ReplacingFile()
{
    if (m_pending) {
        Discard();
    }
}

void ReplacingFile::CreateTemporary()
{
    for (int attempt = 0; attempt < 8; ++attempt) {
        const fs::path candidate = TemporaryNameFor(m_target.name, NameLimit(m_target));
        FileDescriptor file = FileDescriptor::CreateExclusiveIn(m_target.folder, candidate, 0600);
        if (file.IsOpen()) {
            m_temporary = candidate;
            m_file = std::move(file);
            return;
        }
        // Writing the file itself instead would destroy the old content
        // before the new one exists.
        if (FolderRefusesNewFiles(errno)) {
            throw kit::IoError("Unable to write to " + m_path +
                               ": no file can be created in the folder " +
                               Utf8(m_target.shownFolder) + ".");
        }
        if (errno != EEXIST) {
            break;
        }
    }
    throw kit::IoError("Unable to write to " + m_path);
}

void ReplacingFile::OpenInPlace()
{
#if defined(_WIN32)
    m_file = FileDescriptor::OpenExisting(m_target.name, true);
    if (!m_file.IsOpen()) {
        throw kit::IoError("Unable to write to " + m_path);
    }
#else
    // Without waiting for a reader: a pipe nobody reads is refused at once.
    // A descriptor's link is followed by the kernel alone, to the very file
    // the descriptor holds; truncating only once that is confirmed.
    const int flags =
        O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (m_target.kernelLink ? 0 : O_NOFOLLOW);
    int fd = -1;
    do {
        fd = ::openat(m_target.folder.Native(), m_target.name.c_str(), flags);
    } while (fd < 0 && errno == EINTR);
    m_file = FileDescriptor::Adopt(fd);
    if (!m_file.IsOpen()) {
        throw kit::IoError("Unable to write to " + m_path + WhyNotOpened(errno, m_target));
    }
    // A file swapped in since it was looked at would be overwritten in place,
    // another device would receive what was meant for this one, and a
    // descriptor closed and reused meanwhile would lead to another file.
    struct stat opened
    {
    };
    if (::fstat(m_file.Native(), &opened) != 0 ||
        S_ISREG(opened.st_mode) != m_target.status.regular || S_ISDIR(opened.st_mode) ||
        opened.st_dev != m_target.status.device || opened.st_ino != m_target.status.inode) {
        m_file.Close();
        throw kit::IoError("Unable to write to " + m_path);
    }
    if (m_target.status.regular) {
        TruncateInPlace();
    }
    // Written as any pipe or device is, waiting for room when it is full.
    const int status = ::fcntl(m_file.Native(), F_GETFL);
    if (status < 0 || ::fcntl(m_file.Native(), F_SETFL, status & ~O_NONBLOCK) != 0) {
        m_file.Close();
        throw kit::IoError("Unable to write to " + m_path);
    }
#endif
}

// Empties the descriptor's file for the new content, unless it is sealed
// against that: a memfd sealed against writing would be emptied and then
// refuse the new content, losing what it held.
void ReplacingFile::TruncateInPlace()
{
#if !defined(_WIN32)
    struct stat opened
    {
    };
    // Files that take no seals answer -1.
    const int seals = ::fcntl(m_file.Native(), F_GET_SEALS);
    const bool sealed =
        seals > 0 && ((seals & (F_SEAL_WRITE | F_SEAL_FUTURE_WRITE | F_SEAL_GROW)) != 0 ||
                      ((seals & F_SEAL_SHRINK) != 0 &&
                       (::fstat(m_file.Native(), &opened) != 0 || opened.st_size > 0)));
    if (sealed) {
        m_file.Close();
        throw kit::IoError("Unable to write to " + m_path +
                           ": it is sealed against being rewritten.");
    }
    int truncated = -1;
    do {
        truncated = ::ftruncate(m_file.Native(), 0);
    } while (truncated != 0 && errno == EINTR);
    if (truncated != 0) {
        m_file.Close();
        throw kit::IoError("Unable to write to " + m_path);
    }
#endif
}

// Gives the complete file the replaced one's owner, group and mode, as far as
// this process may: root may give it to anyone, others to a group of theirs.
// A private key stays with the process that writes it: whoever owns the file
// it replaces may be whoever planted that file to receive it.
void ReplacingFile::CarryOver()
{
#if !defined(_WIN32)
    const EntryStatus& target = m_target.status;
    if (m_access == Access::Default && target.exists &&
        ::fchown(m_file.Native(), target.owner, target.group) != 0) {
        (void)::fchown(m_file.Native(), static_cast<uid_t>(-1), target.group);
    }
    // After the owner: changing it clears the set-user and set-group bits.
    const unsigned int mode = m_access == Access::OwnerOnly ? 0600
                              : target.exists               ? target.mode
                                                            : NewFileMode();
    (void)::fchmod(m_file.Native(), mode);
#endif
}

void ReplacingFile::Commit()
{
    m_stream.flush();
    bool written = m_stream.good();
    if (written && !m_temporary.empty()) {
        CarryOver();
    }
    // Writes can fail late, when the data reaches the disk: a file replaced
    // before that could turn out empty or short after a crash, and one
    // written in place could be reported written when it is not.
    if (written && (!m_temporary.empty() || m_target.status.regular)) {
        written = m_file.Sync();
    }
    if (!written) {
        Discard();
        throw kit::IoError("Failed writing to file: " + m_path);
    }
    if (m_temporary.empty()) {
        m_pending = false;
        if (!m_file.Close()) {
            throw kit::IoError("Failed writing to file: " + m_path);
        }
        return;
    }
    if (!TemporaryIsStillOurs() || !Rename()) {
        Discard();
        throw kit::IoError("Unable to write to " + m_path);
    }
    m_pending = false;
    // The data reached the disk before the rename; closing cannot lose it.
    m_file.Close();
    if (!SyncFolder()) {
        throw kit::IoError("Failed writing to file: " + m_path);
    }
}

bool ReplacingFile::TemporaryIsStillOurs() const
{
#if defined(_WIN32)
    return true;
#else
    struct stat named
    {
    };
    struct stat opened
    {
    };
    return ::fstatat(m_target.folder.Native(), m_temporary.c_str(), &named, AT_SYMLINK_NOFOLLOW) ==
               0 &&
           ::fstat(m_file.Native(), &opened) == 0 && named.st_dev == opened.st_dev &&
           named.st_ino == opened.st_ino;
#endif
}

bool ReplacingFile::Rename()
{
#if defined(_WIN32)
    std::error_code error;
    fs::rename(m_temporary, m_target.name, error);
    return !error;
#else
    const int folder = m_target.folder.Native();
    return ::renameat(folder, m_temporary.c_str(), folder, m_target.name.c_str()) == 0;
#endif
}

// A renamed file is in the folder's entries, which reach the disk only when
// the folder itself is synced: until then a power cut can bring the old file
// back. False when the disk reported a failure.
bool ReplacingFile::SyncFolder() const
{
#if defined(_WIN32)
    // Windows offers no way to sync a folder; its file systems log renames.
    return true;
#else
    FileDescriptor folder = FileDescriptor::Adopt(
        ::openat(m_target.folder.Native(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    // A folder the caller may write but not read cannot be opened to be
    // synced; the file is in place all the same.
    if (!folder.IsOpen()) {
        return true;
    }
    // Some file systems cannot sync folders at all.
    return folder.Sync() || errno == EINVAL;
#endif
}

void ReplacingFile::Discard() noexcept
{
    m_pending = false;
    m_file.Close();
    if (m_temporary.empty()) {
        return;
    }
#if defined(_WIN32)
    std::error_code ignored;
    fs::remove(m_temporary, ignored);
#else
    (void)::unlinkat(m_target.folder.Native(), m_temporary.c_str(), 0);
#endif
}

} // namespace tarv_sec
