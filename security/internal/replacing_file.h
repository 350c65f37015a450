#pragma once

#include <filesystem>
#include <functional>
#include <ostream>
#include <security/internal/file_descriptor.h>
#include <security/internal/folder_walk.h>
#include <string>

namespace tarv_sec {

// Writes a file so that a failure never destroys what was there before: the
// bytes go to a fresh file beside the target, which replaces the target only
// once everything has been written and put on the disk. Until Commit() the
// target is untouched; an uncommitted temporary file is removed on
// destruction. The replacement keeps the target's owner, group and mode as
// far as this process may set them, except for private keys, which always
// belong to this process.
//
// Links are followed, so that they stay links, except one that another user
// placed in a folder where everyone may create files, like /tmp: that write
// is refused, as the kernel would refuse to follow the link. So is a file,
// pipe or device that another user placed there (see FindEntry()).
//
// The path is followed one folder at a time, each held open, and the
// temporary is made, renamed and synced in the folder held at the end: what
// was looked at is what is written, whoever swaps the entries on the way. The
// temporary is readable by this process alone until it is complete, and is
// written only through the descriptor that created it, so whoever may write
// the folder cannot redirect the bytes by swapping its name; a swapped name
// is found before the rename and the write refused.
//
// A folder that does not let this process create the temporary refuses the
// write, even where the target itself could be written: writing it in place
// would destroy the old content before the new one exists. Only devices such
// as /dev/null, which cannot be replaced by renaming, are written directly,
// and so is whatever a descriptor's link in /proc leads to (/dev/stdout,
// /proc/self/fd/N): the pipe, device or file that the descriptor holds is
// opened through the link, a file truncated and written in place, as its
// holder expects. Replacing that file would leave the descriptor on the old
// one, and it may have no path to be replaced at all.
class ReplacingFile
{
public:
    enum class Access
    {
        // A new file gets the usual permissions; a replaced file keeps its own.
        Default,
        // Readable and writable by the owner only, from the moment it exists,
        // whatever the replaced file allowed.
        OwnerOnly,
    };

    // Called with the temporary's name once it exists, before anything is
    // written: lets a test act as someone racing for that name.
    using CreatedHook = std::function<void(const std::filesystem::path& temporary)>;

    // Throws kit::IoError "Unable to write to " + path when no file can be
    // created there, naming the folder when it is the folder that refuses
    // new files, and naming the entry when it is another user's link, file,
    // pipe or device that is refused. A pipe that nobody reads is refused
    // at once rather than waited for, as is a descriptor's file that this
    // process may not write or that is sealed against it. `path` is UTF-8.
    ReplacingFile(const std::string& path, Access access, const CreatedHook& created = {});
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;
    ~ReplacingFile();

    // Unbuffered: what is written here is in the file at once.
    std::ostream& Stream() { return m_stream; }

    // Puts the file in the target's place, and the folder's new entry on the
    // disk. Throws kit::IoError "Failed writing to file: " + path when the
    // data or the entry did not reach the disk, "Unable to write to " + path
    // when the target cannot be replaced.
    void Commit();

private:
    void CreateTemporary();
    void OpenInPlace();
    void TruncateInPlace();
    void CarryOver();
    [[nodiscard]] bool TemporaryIsStillOurs() const;
    [[nodiscard]] bool Rename();
    [[nodiscard]] bool SyncFolder() const;
    void Discard() noexcept;

    std::string m_path;
    Access m_access;
    HeldEntry m_target;
    // The temporary's name in the target's folder; empty when the target is
    // written in place.
    std::filesystem::path m_temporary;
    FileDescriptor m_file;
    FileDescriptorWriter m_writer{m_file};
    std::ostream m_stream{&m_writer};
    bool m_pending = true;
};

} // namespace tarv_sec
