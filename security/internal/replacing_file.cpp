#include <cerrno>
#include <deque>
#include <kit/errors.h>
#include <kit/format.h>
#include <random>
#include <security/internal/file_paths.h>
#include <security/internal/replacing_file.h>
#include <system_error>

#if !defined(_WIN32)
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

#if defined(_WIN32)

// Follows a symbolic link so that replacing the file keeps the link.
fs::path ResolveTarget(const fs::path& path, const std::string&)
{
    std::error_code error;
    if (fs::is_symlink(fs::symlink_status(path, error))) {
        const fs::path resolved = fs::weakly_canonical(path, error);
        if (!error) {
            return resolved;
        }
    }
    return path;
}

#else

// Where everyone may create files but remove only their own, as in /tmp, a
// link someone else placed sends whoever follows it wherever that someone
// chose. The kernel follows such a link only for its owner or the folder's
// owner; the library follows links itself, so it keeps the same rule.
void RefuseOthersLink(const struct stat& link, const fs::path& path, const std::string& utf8Path)
{
    const fs::path folder = path.has_parent_path() ? path.parent_path() : ".";
    struct stat status
    {
    };
    const bool known = ::stat(folder.c_str(), &status) == 0;
    const bool shared = (status.st_mode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH);
    if (known && (!shared || link.st_uid == ::geteuid() || link.st_uid == status.st_uid)) {
        return;
    }
    throw kit::IoError("Unable to write to " + utf8Path + ": the link " + Utf8(path) +
                       " was placed by another user in a folder open to everyone.");
}

// Follows symbolic links, those of the folders on the way as well as one at
// the file's own name, so that replacing the file keeps them. A path without
// links is kept as it was given, and so is one that only the kernel can
// follow, such as /dev/stdout leading to a pipe.
fs::path ResolveTarget(const fs::path& path, const std::string& utf8Path)
{
    // As many as Linux follows in one lookup.
    constexpr int kLinkLimit = 40;
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    if (error) {
        return path;
    }
    const fs::path relative = absolute.relative_path();
    std::deque<fs::path> remaining(relative.begin(), relative.end());
    fs::path resolved = absolute.root_path();
    int links = 0;
    while (!remaining.empty()) {
        const fs::path part = remaining.front();
        remaining.pop_front();
        if (part.empty() || part == ".") {
            continue;
        }
        if (part == "..") {
            resolved = resolved.parent_path();
            continue;
        }
        const fs::path next = resolved / part;
        struct stat status
        {
        };
        if (::lstat(next.c_str(), &status) != 0) {
            if (links > 0 && ::stat(path.c_str(), &status) == 0) {
                return path;
            }
            // Nothing further exists to be followed; what cannot be created
            // is reported when the file is.
            resolved = next;
            for (const fs::path& rest : remaining) {
                resolved /= rest;
            }
            break;
        }
        if (!S_ISLNK(status.st_mode)) {
            resolved = next;
            continue;
        }
        RefuseOthersLink(status, next, utf8Path);
        const fs::path target = fs::read_symlink(next, error);
        if (error || ++links > kLinkLimit) {
            throw kit::IoError("Unable to write to " + utf8Path +
                               ": its links cannot be followed.");
        }
        if (target.is_absolute()) {
            resolved = target.root_path();
        }
        const fs::path targetParts = target.relative_path();
        remaining.insert(remaining.begin(), targetParts.begin(), targetParts.end());
    }
    return links > 0 ? resolved : path;
}

#endif

ReplacingFile::Target Inspect(const fs::path& target, const std::string& utf8Path)
{
    ReplacingFile::Target result;
#if defined(_WIN32)
    (void)utf8Path;
    std::error_code error;
    const fs::file_status status = fs::status(target, error);
    result.exists = fs::exists(status);
    result.regular = fs::is_regular_file(status);
#else
    struct stat status
    {
    };
    if (::lstat(target.c_str(), &status) != 0) {
        return result;
    }
    // A link here is one that only the kernel can follow, or one placed
    // since the target was resolved.
    if (S_ISLNK(status.st_mode)) {
        RefuseOthersLink(status, target, utf8Path);
        if (::stat(target.c_str(), &status) != 0) {
            return result;
        }
    }
    result.exists = true;
    result.regular = S_ISREG(status.st_mode);
    result.owner = status.st_uid;
    result.group = status.st_gid;
    result.mode = status.st_mode & 07777;
    result.device = status.st_dev;
    result.inode = status.st_ino;
#endif
    return result;
}

std::size_t NameLimit(const fs::path& folder)
{
#if defined(_WIN32)
    (void)folder;
    return kUsualNameLimit;
#else
    const long limit = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<std::size_t>(limit) : kUsualNameLimit;
#endif
}

// "<target name>.<random>.tmp" beside the target. A name that a plain write
// could just create must not fail for want of room for the suffix: the
// target's name is shortened instead, at a character boundary.
fs::path TemporaryNameFor(const fs::path& target)
{
    std::random_device device;
    const unsigned long long tag = (static_cast<unsigned long long>(device()) << 32) |
                                   static_cast<unsigned long long>(device());
    const std::string suffix = kit::format(".%016llx.tmp", tag);
    std::u8string name = target.filename().u8string();
    const std::size_t limit = NameLimit(target.parent_path());
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

unsigned int CreationMode(const ReplacingFile::Target& target, ReplacingFile::Access access)
{
    if (access == ReplacingFile::Access::OwnerOnly) {
        return 0600;
    }
    return target.exists ? target.mode : 0666;
}

// Gives the new file the replaced one's owner, group and mode, as far as this
// process may: root may give it to anyone, others to a group of theirs. A
// private key stays with the process that writes it: whoever owns the file it
// replaces may be whoever planted that file to receive it.
void CarryOver(const FileDescriptor& file, const ReplacingFile::Target& target,
               ReplacingFile::Access access, unsigned int mode)
{
#if defined(_WIN32)
    (void)file;
    (void)target;
    (void)access;
    (void)mode;
#else
    if (access == ReplacingFile::Access::Default &&
        ::fchown(file.Native(), target.owner, target.group) != 0) {
        (void)::fchown(file.Native(), static_cast<uid_t>(-1), target.group);
    }
    // After the owner: changing it clears the set-user and set-group bits. It
    // also undoes what the umask took from the mode at creation.
    (void)::fchmod(file.Native(), mode);
#endif
}

bool FolderRefusesNewFiles(int error)
{
    return error == EACCES || error == EPERM || error == EROFS;
}

// A renamed file is in the folder's entries, which reach the disk only when
// the folder itself is synced: until then a power cut can bring the old file
// back. False when the disk reported a failure.
bool SyncFolderOf(const fs::path& target)
{
#if defined(_WIN32)
    // Windows offers no way to sync a folder; its file systems log renames.
    (void)target;
    return true;
#else
    FileDescriptor folder =
        FileDescriptor::OpenFolder(target.has_parent_path() ? target.parent_path() : ".");
    // A folder the caller may write but not read cannot be opened to be
    // synced; the file is in place all the same.
    if (!folder.IsOpen()) {
        return true;
    }
    // Some file systems cannot sync folders at all.
    return folder.Sync() || errno == EINVAL;
#endif
}

} // namespace

ReplacingFile::ReplacingFile(const std::string& path, Access access, const CreatedHook& created)
    : m_path(path)
    , m_target(ResolveTarget(PathFromUtf8(path), path))
{
    const Target target = Inspect(m_target, m_path);
    if (target.exists && !target.regular) {
        // Devices and pipes cannot be replaced by renaming; a private key
        // written into one would reach whoever reads at its other end.
        if (access == Access::OwnerOnly) {
            throw kit::IoError("Unable to write to " + m_path + ": it is not a regular file.");
        }
        OpenDevice(target);
        return;
    }
    CreateTemporary(target, access);
    if (created) {
        created(m_temporary);
    }
}

ReplacingFile::~ReplacingFile()
{
    if (m_pending) {
        Discard();
    }
}

void ReplacingFile::CreateTemporary(const Target& target, Access access)
{
    const unsigned int mode = CreationMode(target, access);
    for (int attempt = 0; attempt < 8; ++attempt) {
        const fs::path candidate = TemporaryNameFor(m_target);
        FileDescriptor file = FileDescriptor::CreateExclusive(candidate, mode);
        if (file.IsOpen()) {
            m_temporary = candidate;
            m_file = std::move(file);
            if (target.exists || access == Access::OwnerOnly) {
                CarryOver(m_file, target, access, mode);
            }
            return;
        }
        // Writing the file itself instead would destroy the old content
        // before the new one exists.
        if (FolderRefusesNewFiles(errno)) {
            const fs::path folder = m_target.has_parent_path() ? m_target.parent_path() : ".";
            throw kit::IoError("Unable to write to " + m_path +
                               ": no file can be created in the folder " + Utf8(folder) + ".");
        }
        if (errno != EEXIST) {
            break;
        }
    }
    throw kit::IoError("Unable to write to " + m_path);
}

void ReplacingFile::OpenDevice(const Target& target)
{
    // The name may lead through a link the kernel follows, such as
    // /dev/stdout; what it leads to must still be what was looked at.
    m_file = FileDescriptor::OpenExisting(m_target, true);
    if (!m_file.IsOpen()) {
        throw kit::IoError("Unable to write to " + m_path);
    }
#if defined(_WIN32)
    (void)target;
#else
    // A regular file swapped in since it was looked at would be overwritten
    // in place, and another device would receive what was meant for this one.
    struct stat opened
    {
    };
    if (::fstat(m_file.Native(), &opened) != 0 || S_ISREG(opened.st_mode) ||
        opened.st_dev != target.device || opened.st_ino != target.inode) {
        m_file.Close();
        throw kit::IoError("Unable to write to " + m_path);
    }
#endif
}

void ReplacingFile::Commit()
{
    m_stream.flush();
    bool written = m_stream.good();
    // Writes can fail late, when the data reaches the disk: a file replaced
    // before that could turn out empty or short after a crash.
    if (written && !m_temporary.empty()) {
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
    if (!TemporaryIsStillOurs()) {
        Discard();
        throw kit::IoError("Unable to write to " + m_path);
    }
    std::error_code error;
    fs::rename(m_temporary, m_target, error);
    if (error) {
        Discard();
        throw kit::IoError("Unable to write to " + m_path);
    }
    m_pending = false;
    // The data reached the disk before the rename; closing cannot lose it.
    m_file.Close();
    if (!SyncFolderOf(m_target)) {
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
    return ::lstat(m_temporary.c_str(), &named) == 0 && ::fstat(m_file.Native(), &opened) == 0 &&
           named.st_dev == opened.st_dev && named.st_ino == opened.st_ino;
#endif
}

void ReplacingFile::Discard() noexcept
{
    m_pending = false;
    m_file.Close();
    if (!m_temporary.empty()) {
        std::error_code ignored;
        fs::remove(m_temporary, ignored);
    }
}

} // namespace tarv_sec
