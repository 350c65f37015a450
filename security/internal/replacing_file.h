#pragma once

#include <filesystem>
#include <fstream>
#include <string>

namespace tarv_sec {

// Writes a file so that a failure never destroys what was there before: the
// bytes go to a fresh file beside the target, which replaces the target only
// once everything has been written and closed. Until Commit() the target is
// untouched; an uncommitted temporary file is removed on destruction.
// Targets that cannot be replaced by renaming (devices such as /dev/null)
// are written directly.
class ReplacingFile
{
public:
    enum class Access
    {
        // A new file gets the usual permissions; a replaced file keeps its own.
        Default,
        // Readable and writable by the owner only, from the moment it exists.
        OwnerOnly,
    };

    // Throws kit::IoError "Unable to write to " + path when no file can be
    // created there. `path` is UTF-8.
    ReplacingFile(const std::string& path, Access access);
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;
    ~ReplacingFile();

    std::ofstream& Stream() { return m_stream; }

    // Closes the file and puts it in the target's place. Throws kit::IoError
    // "Failed writing to file: " + path when the data did not all reach the
    // file, "Unable to write to " + path when the target cannot be replaced.
    void Commit();

private:
    void Discard() noexcept;

    std::string m_path;
    std::filesystem::path m_target;
    std::filesystem::path m_temporary;
    std::ofstream m_stream;
    bool m_pending = true;
};

} // namespace tarv_sec
