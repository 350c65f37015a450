#include <cerrno>
#include <deque>
#include <kit/errors.h>
#include <optional>
#include <security/internal/file_paths.h>
#include <security/internal/folder_walk.h>
#include <vector>

#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace tarv_sec {

namespace {

#if defined(_WIN32)

// Windows has no folders held open to write relative to, and no folders where
// everyone may create files but remove only their own: links are followed by
// path, so that replacing the file keeps them.
HeldEntry FindWindowsEntry(const std::string& utf8Path)
{
    fs::path target = PathFromUtf8(utf8Path);
    std::error_code error;
    if (fs::is_symlink(fs::symlink_status(target, error))) {
        const fs::path resolved = fs::weakly_canonical(target, error);
        if (!error) {
            target = resolved;
        }
    }
    HeldEntry entry;
    entry.shownFolder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    entry.name = target;
    const fs::file_status status = fs::status(target, error);
    entry.status.exists = fs::exists(status);
    entry.status.regular = fs::is_regular_file(status);
    return entry;
}

#else

std::string Utf8(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// As many as Linux follows in one lookup.
constexpr int kLinkLimit = 40;
// The file system of /proc, whose links lead to what only the kernel can
// reach, such as the pipe behind /dev/stdout.
constexpr long kProcFileSystem = 0x9fa0;

int OpenAt(int folder, const char* name, int flags)
{
    int fd = -1;
    do {
        fd = ::openat(folder, name, flags | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

EntryStatus StatusOf(const struct stat& status)
{
    EntryStatus result;
    result.exists = true;
    result.regular = S_ISREG(status.st_mode);
    result.owner = status.st_uid;
    result.group = status.st_gid;
    result.mode = status.st_mode & 07777;
    result.device = status.st_dev;
    result.inode = status.st_ino;
    return result;
}

const char* KindOf(const struct stat& status)
{
    if (S_ISLNK(status.st_mode)) {
        return "link";
    }
    if (S_ISREG(status.st_mode)) {
        return "file";
    }
    if (S_ISFIFO(status.st_mode)) {
        return "pipe";
    }
    return S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode) ? "device" : "entry";
}

// The target of the link held open as `link`, however long.
std::optional<std::string> ReadLink(int folder, const char* name)
{
    std::vector<char> target(256);
    for (;;) {
        const ssize_t length = ::readlinkat(folder, name, target.data(), target.size());
        if (length < 0) {
            return std::nullopt;
        }
        if (static_cast<std::size_t>(length) < target.size()) {
            return std::string(target.data(), static_cast<std::size_t>(length));
        }
        target.resize(target.size() * 2);
    }
}

// One walk along a path, one entry at a time, each looked up in the folder
// held open before it and never by a path of its own: what is checked is
// what is used.
class Walk
{
public:
    explicit Walk(const std::string& utf8Path)
        : m_path(utf8Path)
    {}

    HeldEntry Run()
    {
        // A name ending in "/" names a folder, which cannot be written.
        if (m_path.empty() || m_path.back() == '/') {
            Fail();
        }
        StartAt(m_path.front() == '/' ? "/" : ".", m_path.front() == '/' ? "/" : "");
        PushFront(m_path);
        while (!m_remaining.empty()) {
            const std::string part = std::move(m_remaining.front());
            m_remaining.pop_front();
            const bool last = m_remaining.empty();
            if (part == "." || part == "..") {
                if (part == "..") {
                    Up();
                }
                if (last) {
                    Fail();
                }
                continue;
            }
            if (std::optional<HeldEntry> found = Step(part, last)) {
                return std::move(*found);
            }
        }
        Fail();
    }

private:
    [[noreturn]] void Fail(const std::string& reason = {}) const
    {
        throw kit::IoError("Unable to write to " + m_path + (reason.empty() ? "" : ": " + reason));
    }

    // Looks `part` up in the held folder: the entry written when it is the
    // last, nothing when the walk goes on.
    std::optional<HeldEntry> Step(const std::string& part, bool last)
    {
        FileDescriptor entry =
            FileDescriptor::Adopt(OpenAt(m_folder.Native(), part.c_str(), O_PATH | O_NOFOLLOW));
        if (!entry.IsOpen()) {
            // What cannot be created is reported when the file is.
            if (errno == ENOENT && last) {
                return Held(part, EntryStatus{}, false);
            }
            Fail();
        }
        struct stat status
        {
        };
        if (::fstat(entry.Native(), &status) != 0) {
            Fail();
        }
        if (S_ISLNK(status.st_mode)) {
            RefusePlanted(status, part);
            if (++m_links > kLinkLimit) {
                Fail("its links cannot be followed.");
            }
            if (m_folderInProc) {
                return StepThroughKernelLink(part, last);
            }
            const std::optional<std::string> target = ReadLink(entry.Native(), "");
            if (!target || target->empty()) {
                Fail("its links cannot be followed.");
            }
            Follow(*target);
            return std::nullopt;
        }
        if (S_ISDIR(status.st_mode) && !last) {
            Enter(std::move(entry), status, m_shown / part);
            return std::nullopt;
        }
        if (!last || S_ISDIR(status.st_mode)) {
            Fail();
        }
        RefusePlanted(status, part);
        return Held(part, StatusOf(status), false);
    }

    // A link in /proc leads to what only the kernel knows: a folder to go on
    // from, or the very file, pipe or device that a descriptor holds, to be
    // written where it is, through the link. Its text is no path to follow:
    // a deleted file, a memfd or a file on a detached file system has none,
    // and a file made where the text points would be another one, holding
    // what was meant for the descriptor's, readable by whoever may.
    std::optional<HeldEntry> StepThroughKernelLink(const std::string& part, bool last)
    {
        FileDescriptor target =
            FileDescriptor::Adopt(OpenAt(m_folder.Native(), part.c_str(), O_PATH));
        struct stat status
        {
        };
        if (!target.IsOpen() || ::fstat(target.Native(), &status) != 0) {
            Fail();
        }
        if (S_ISDIR(status.st_mode)) {
            if (last) {
                Fail();
            }
            Enter(std::move(target), status, m_shown / part);
            return std::nullopt;
        }
        if (!last) {
            Fail();
        }
        return Held(part, StatusOf(status), true);
    }

    HeldEntry Held(const std::string& part, const EntryStatus& status, bool kernelLink)
    {
        HeldEntry held;
        held.folder = std::move(m_folder);
        held.shownFolder = m_shown.empty() ? fs::path(".") : m_shown;
        held.name = part;
        held.status = status;
        held.kernelLink = kernelLink;
        return held;
    }

    // Where everyone may create files but remove only their own, an entry
    // that another user placed there and the folder's owner does not own is
    // not followed nor written: a link would send the bytes wherever that
    // user chose, a file, pipe or device would hand them to that user. Links
    // are refused in folders open to everyone, the rest in folders open to
    // a group too, as Linux does when told to be strict.
    void RefusePlanted(const struct stat& status, const std::string& part) const
    {
        const mode_t others = S_ISLNK(status.st_mode) ? S_IWOTH : S_IWOTH | S_IWGRP;
        const bool shared =
            (m_folderStatus.st_mode & S_ISVTX) != 0 && (m_folderStatus.st_mode & others) != 0;
        if (!shared || status.st_uid == ::geteuid() || status.st_uid == m_folderStatus.st_uid) {
            return;
        }
        Fail(std::string("the ") + KindOf(status) + " " + Utf8(m_shown / part) +
             " was placed by another user in a folder open to others.");
    }

    void StartAt(const char* folder, const fs::path& shown)
    {
        FileDescriptor start =
            FileDescriptor::Adopt(OpenAt(AT_FDCWD, folder, O_PATH | O_DIRECTORY));
        struct stat status
        {
        };
        if (!start.IsOpen() || ::fstat(start.Native(), &status) != 0) {
            Fail();
        }
        Enter(std::move(start), status, shown);
    }

    // The folder that holds the held one now, wherever it was moved.
    void Up()
    {
        FileDescriptor parent =
            FileDescriptor::Adopt(OpenAt(m_folder.Native(), "..", O_PATH | O_DIRECTORY));
        struct stat status
        {
        };
        if (!parent.IsOpen() || ::fstat(parent.Native(), &status) != 0) {
            Fail();
        }
        fs::path shown = m_shown;
        if (shown.has_filename() && shown.filename() != "..") {
            shown = shown.parent_path();
        } else if (shown != "/") {
            shown /= "..";
        }
        Enter(std::move(parent), status, shown);
    }

    void Enter(FileDescriptor folder, const struct stat& status, const fs::path& shown)
    {
        m_folder = std::move(folder);
        m_folderStatus = status;
        m_shown = shown;
        struct statfs fileSystem
        {
        };
        m_folderInProc = ::fstatfs(m_folder.Native(), &fileSystem) == 0 &&
                         static_cast<long>(fileSystem.f_type) == kProcFileSystem;
    }

    void Follow(const std::string& target)
    {
        if (target.starts_with('/')) {
            StartAt("/", "/");
        }
        PushFront(target);
    }

    void PushFront(const std::string& path)
    {
        std::vector<std::string> parts;
        std::size_t start = 0;
        while (start <= path.size()) {
            const std::size_t end = std::min(path.find('/', start), path.size());
            if (end > start) {
                parts.push_back(path.substr(start, end - start));
            }
            start = end + 1;
        }
        m_remaining.insert(m_remaining.begin(), parts.begin(), parts.end());
    }

    const std::string& m_path;
    std::deque<std::string> m_remaining;
    FileDescriptor m_folder;
    struct stat m_folderStatus
    {
    };
    bool m_folderInProc = false;
    fs::path m_shown;
    int m_links = 0;
};

#endif

} // namespace

HeldEntry FindEntry(const std::string& utf8Path)
{
#if defined(_WIN32)
    return FindWindowsEntry(utf8Path);
#else
    return Walk(utf8Path).Run();
#endif
}

} // namespace tarv_sec
