#pragma once

#include <cstddef>
#include <filesystem>
#include <streambuf>

namespace tarv_sec {

// A file opened through the operating system itself, closed on destruction.
// Unlike a file stream it keeps no buffer of its own: bytes go straight
// between the caller's memory and the file, so no copy of a key or of
// plaintext is left in memory the library does not wipe.
class FileDescriptor
{
public:
    FileDescriptor() = default;
    FileDescriptor(FileDescriptor&& other) noexcept;
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor();

    // Creates `path`, which must not exist yet, with `mode` (less the umask)
    // from the first moment. A link in its place is not followed. The
    // operating system's error number is left in errno on failure.
    static FileDescriptor CreateExclusive(const std::filesystem::path& path, unsigned int mode);
    // The same, `name` being looked up in `folder` alone (on Windows, which
    // holds no folders open, `name` is the whole path).
    static FileDescriptor CreateExclusiveIn(const FileDescriptor& folder,
                                            const std::filesystem::path& name, unsigned int mode);
    // Opens an existing file for writing without truncating it; links to it
    // are not followed when `followLinks` is false.
    static FileDescriptor OpenExisting(const std::filesystem::path& path, bool followLinks);
    static FileDescriptor OpenForReading(const std::filesystem::path& path);
    // Opens a folder so that Sync() puts its entries on the disk; never open
    // on Windows, which has no such thing.
    static FileDescriptor OpenFolder(const std::filesystem::path& path);
    // Takes over `fd`, as returned by the operating system (-1 for none).
    static FileDescriptor Adopt(int fd) { return FileDescriptor(fd); }

    [[nodiscard]] bool IsOpen() const { return m_fd >= 0; }
    [[nodiscard]] int Native() const { return m_fd; }

    // Writes all `n` bytes, retrying short writes; false when the file
    // refused some.
    [[nodiscard]] bool WriteAll(const char* data, std::size_t n);
    // Reads up to `n` bytes: the number read, 0 at the end, -1 on failure.
    [[nodiscard]] long long Read(char* data, std::size_t n);
    // Puts everything written so far on the disk; false when it failed.
    [[nodiscard]] bool Sync();
    // False when closing reported a failure (data that did not reach the
    // file); closing a closed descriptor succeeds.
    bool Close() noexcept;

private:
    explicit FileDescriptor(int fd)
        : m_fd(fd)
    {}

    int m_fd = -1;
};

// An output stream buffer without a buffer: every write goes to the file at
// once. A refused write makes the stream bad.
class FileDescriptorWriter : public std::streambuf
{
public:
    explicit FileDescriptorWriter(FileDescriptor& file)
        : m_file(file)
    {}

protected:
    std::streamsize xsputn(const char* data, std::streamsize n) override;
    int_type overflow(int_type ch) override;

private:
    FileDescriptor& m_file;
};

} // namespace tarv_sec
