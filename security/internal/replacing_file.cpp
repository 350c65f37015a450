#include <kit/errors.h>
#include <kit/format.h>
#include <random>
#include <security/internal/file_paths.h>
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

// Follows a symbolic link so that replacing the file keeps the link.
fs::path ResolveTarget(const fs::path& path)
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

fs::path TemporaryNameFor(const fs::path& target)
{
    std::random_device device;
    const unsigned long long tag = (static_cast<unsigned long long>(device()) << 32) |
                                   static_cast<unsigned long long>(device());
    fs::path name = target;
    name += kit::format(".%016llx.tmp", tag);
    return name;
}

// Creates `path`, which must not exist yet, with its final permissions
// already in place so that its contents are never readable by others.
bool CreateExclusive(const fs::path& path, ReplacingFile::Access access, const fs::path& target)
{
#if defined(_WIN32)
    (void)access;
    (void)target;
    if (fs::exists(path)) {
        return false;
    }
    std::ofstream create(path, std::ios::binary);
    return create.good();
#else
    mode_t mode = 0666;
    bool keepMode = false;
    struct stat existing
    {
    };
    if (access == ReplacingFile::Access::OwnerOnly) {
        mode = 0600;
    } else if (::stat(target.c_str(), &existing) == 0) {
        mode = existing.st_mode & 07777;
        keepMode = true;
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
        return false;
    }
    if (keepMode) {
        // The umask may have narrowed the mode; a replaced file keeps its own.
        (void)::fchmod(fd, mode);
    }
    return ::close(fd) == 0;
#endif
}

bool IsReplaceable(const fs::path& target)
{
    std::error_code error;
    const fs::file_status status = fs::status(target, error);
    return !fs::exists(status) || fs::is_regular_file(status);
}

} // namespace

ReplacingFile::ReplacingFile(const std::string& path, Access access)
    : m_path(path)
    , m_target(ResolveTarget(PathFromUtf8(path)))
{
    if (IsReplaceable(m_target)) {
        for (int attempt = 0; attempt < 8 && m_temporary.empty(); ++attempt) {
            const fs::path candidate = TemporaryNameFor(m_target);
            if (CreateExclusive(candidate, access, m_target)) {
                m_temporary = candidate;
            }
        }
        if (m_temporary.empty()) {
            throw kit::IoError("Unable to write to " + m_path);
        }
        m_stream.open(m_temporary, std::ios::out | std::ios::binary | std::ios::trunc);
    } else {
        m_stream.open(m_target, std::ios::out | std::ios::binary | std::ios::trunc);
    }
    if (!m_stream.good()) {
        Discard();
        throw kit::IoError("Unable to write to " + m_path);
    }
}

ReplacingFile::~ReplacingFile()
{
    if (m_pending) {
        Discard();
    }
}

void ReplacingFile::Commit()
{
    m_stream.close();
    if (m_stream.fail()) {
        Discard();
        throw kit::IoError("Failed writing to file: " + m_path);
    }
    if (!m_temporary.empty()) {
        std::error_code error;
        fs::rename(m_temporary, m_target, error);
        if (error) {
            Discard();
            throw kit::IoError("Unable to write to " + m_path);
        }
    }
    m_pending = false;
}

void ReplacingFile::Discard() noexcept
{
    m_pending = false;
    if (m_stream.is_open()) {
        m_stream.close();
    }
    if (!m_temporary.empty()) {
        std::error_code ignored;
        fs::remove(m_temporary, ignored);
    }
}

} // namespace tarv_sec
