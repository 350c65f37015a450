#pragma once

#include <cstdint>
#include <filesystem>
#include <security/internal/file_descriptor.h>
#include <string>

namespace tarv_sec {

// What is known of an entry before it is written.
struct EntryStatus
{
    bool exists = false;
    bool regular = false;
    unsigned int owner = 0;
    unsigned int group = 0;
    unsigned int mode = 0;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};

// The entry a path leads to, found from folder to folder, each held open
// while the next is looked up in it. Whoever renames or swaps the folders on
// the way meanwhile cannot send the write elsewhere: it is made in `folder`,
// the very folder looked at.
struct HeldEntry
{
    // Where the entry is; on Windows never open, `name` then being the whole
    // path.
    FileDescriptor folder;
    // The folder as the path and its links name it, for messages.
    std::filesystem::path shownFolder;
    std::filesystem::path name;
    EntryStatus status;
    // True when `name` is a link that only the kernel can follow, such as
    // /proc/self/fd/1: the file, pipe or device that the descriptor holds,
    // described by `status`, is written where it is, through the link.
    bool kernelLink = false;
};

// Follows `utf8Path` and its links, those of the folders on the way as well
// as one at the file's own name, so that replacing the file keeps them, with
// no limit on the length of what they lead to. A descriptor's link in /proc
// (also reached as /dev/stdout or /dev/fd/N) is left to the kernel to follow
// and never read as a path.
//
// Refuses, as kernels do by default in folders where everyone may create
// files but remove only their own, like /tmp, anything that another user
// placed there and that the folder's owner does not own: a link, which would
// send the caller's bytes wherever that user chose, and a file, pipe or
// device, which would hand them to that user. Throws kit::IoError "Unable to
// write to " + utf8Path, naming the entry when it is one of these.
HeldEntry FindEntry(const std::string& utf8Path);

} // namespace tarv_sec
