#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <string>

#include "engine/file_item.h"

namespace krelix {

// Failures that have no errno of their own; negative, so they never meet one.
inline constexpr int kFileChanged = -1;       // not the file, size or times compared
inline constexpr int kNotRegularFile = -2;    // now a folder, a link, a FIFO or a device
inline constexpr int kContentDiffers = -3;    // not byte for byte the file it was to be linked to
inline constexpr int kJournalUnwritten = -4;  // the undo journal could not be written first
inline constexpr int kOtherMount = -5;        // one file system, but another mount of it

enum class ReplaceExisting { No, Yes };

struct CopyOptions {
    ReplaceExisting replace = ReplaceExisting::No;
    // Give the copy the source's owner and group where allowed (a move keeps them).
    bool keepOwner = false;
    // When set, the source must still be this record's file, unchanged (MatchesRecord), before
    // and after the copy, or nothing is left at the target and the copy fails with kFileChanged.
    const CFileItem* expected = nullptr;
};

// The file a successful copy read, for a caller that goes on to remove it.
struct CopiedSource {
    dev_t device = 0;
    ino_t inode = 0;
};

// Copies a regular file's content, permission bits and modification time to target. The copy
// is written under a temporary name in target's folder, synced, and only then given target's
// name, so a failed copy never leaves a half file under that name. A link at source is never
// followed (ELOOP) and nothing but a regular file is opened (kNotRegularFile). With
// ReplaceExisting::No an existing target is kept and the copy fails with EEXIST; with Yes an
// existing file (or link, not what it points at) is replaced in one step. A folder under the
// target's name is never replaced (EISDIR). Returns 0, an errno, kFileChanged or kNotRegularFile.
int CopyRegularFile(const std::string& source, const std::string& target,
                    const CopyOptions& options, CopiedSource* copied = nullptr);

// Copies from the current offsets to the end of `from`: in the kernel where it can, otherwise
// through a buffer. A kernel copy that reports the end before `expectedSize` bytes (some file
// systems do) is finished through the buffer. 0 or an errno; `copied` counts the bytes.
int CopyFileContent(int from, int to, std::uint64_t expectedSize, std::uint64_t& copied);

}  // namespace krelix
