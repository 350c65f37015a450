#include <cerrno>
#include <security/internal/file_descriptor.h>
#include <utility>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace tarv_sec {

namespace {

#if defined(_WIN32)
int OpenNative(const std::filesystem::path& path, int flags, int mode)
{
    int fd = -1;
    const int error = ::_wsopen_s(&fd, path.c_str(), flags | _O_BINARY | _O_NOINHERIT, _SH_DENYNO,
                                  mode & 0200 ? _S_IREAD | _S_IWRITE : _S_IREAD);
    return error == 0 ? fd : -1;
}
#else
int OpenNative(const std::filesystem::path& path, int flags, int mode)
{
    int fd = -1;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}
#endif

} // namespace

FileDescriptor::FileDescriptor(FileDescriptor&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1))
{}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept
{
    if (this != &other) {
        Close();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

FileDescriptor::~FileDescriptor()
{
    Close();
}

#if defined(_WIN32)

FileDescriptor FileDescriptor::CreateExclusive(const std::filesystem::path& path, unsigned int mode)
{
    return FileDescriptor(OpenNative(path, _O_WRONLY | _O_CREAT | _O_EXCL, static_cast<int>(mode)));
}

FileDescriptor FileDescriptor::CreateExclusiveIn(const FileDescriptor&,
                                                 const std::filesystem::path& name,
                                                 unsigned int mode)
{
    return CreateExclusive(name, mode);
}

FileDescriptor FileDescriptor::OpenExisting(const std::filesystem::path& path, bool)
{
    return FileDescriptor(OpenNative(path, _O_WRONLY, 0));
}

FileDescriptor FileDescriptor::OpenForReading(const std::filesystem::path& path)
{
    return FileDescriptor(OpenNative(path, _O_RDONLY, 0));
}

FileDescriptor FileDescriptor::OpenFolder(const std::filesystem::path&)
{
    return FileDescriptor();
}

bool FileDescriptor::WriteAll(const char* data, std::size_t n)
{
    while (n > 0) {
        const unsigned int piece = n > 0x40000000u ? 0x40000000u : static_cast<unsigned int>(n);
        const int written = ::_write(m_fd, data, piece);
        if (written <= 0)
            return false;
        data += written;
        n -= static_cast<std::size_t>(written);
    }
    return true;
}

long long FileDescriptor::Read(char* data, std::size_t n)
{
    const unsigned int piece = n > 0x40000000u ? 0x40000000u : static_cast<unsigned int>(n);
    return ::_read(m_fd, data, piece);
}

bool FileDescriptor::Sync()
{
    return ::_commit(m_fd) == 0;
}

bool FileDescriptor::Close() noexcept
{
    if (m_fd < 0)
        return true;
    return ::_close(std::exchange(m_fd, -1)) == 0;
}

#else

FileDescriptor FileDescriptor::CreateExclusive(const std::filesystem::path& path, unsigned int mode)
{
    return FileDescriptor(
        OpenNative(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, static_cast<int>(mode)));
}

FileDescriptor FileDescriptor::CreateExclusiveIn(const FileDescriptor& folder,
                                                 const std::filesystem::path& name,
                                                 unsigned int mode)
{
    int fd = -1;
    do {
        fd = ::openat(folder.m_fd, name.c_str(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, static_cast<int>(mode));
    } while (fd < 0 && errno == EINTR);
    return FileDescriptor(fd);
}

FileDescriptor FileDescriptor::OpenExisting(const std::filesystem::path& path, bool followLinks)
{
    return FileDescriptor(OpenNative(path, O_WRONLY | (followLinks ? 0 : O_NOFOLLOW), 0));
}

FileDescriptor FileDescriptor::OpenForReading(const std::filesystem::path& path)
{
    return FileDescriptor(OpenNative(path, O_RDONLY, 0));
}

FileDescriptor FileDescriptor::OpenFolder(const std::filesystem::path& path)
{
    return FileDescriptor(OpenNative(path, O_RDONLY | O_DIRECTORY, 0));
}

bool FileDescriptor::WriteAll(const char* data, std::size_t n)
{
    while (n > 0) {
        const ssize_t written = ::write(m_fd, data, n);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        n -= static_cast<std::size_t>(written);
    }
    return true;
}

long long FileDescriptor::Read(char* data, std::size_t n)
{
    ssize_t read = -1;
    do {
        read = ::read(m_fd, data, n);
    } while (read < 0 && errno == EINTR);
    return read;
}

bool FileDescriptor::Sync()
{
    return ::fsync(m_fd) == 0;
}

bool FileDescriptor::Close() noexcept
{
    if (m_fd < 0)
        return true;
    // Linux releases the descriptor even when close reports EINTR: retrying
    // could close a descriptor opened meanwhile by another thread.
    return ::close(std::exchange(m_fd, -1)) == 0;
}

#endif

std::streamsize FileDescriptorWriter::xsputn(const char* data, std::streamsize n)
{
    if (n <= 0)
        return 0;
    return m_file.WriteAll(data, static_cast<std::size_t>(n)) ? n : 0;
}

FileDescriptorWriter::int_type FileDescriptorWriter::overflow(int_type ch)
{
    if (traits_type::eq_int_type(ch, traits_type::eof()))
        return traits_type::not_eof(ch);
    const char byte = traits_type::to_char_type(ch);
    return m_file.WriteAll(&byte, 1) ? ch : traits_type::eof();
}

} // namespace tarv_sec
