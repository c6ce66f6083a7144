#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "engine/file_item.h"
#include "platform/file_identity.h"

namespace krelix {

class JournalRecorder;

enum class LinkKind {
    HardLink,  // the target's name comes to name the kept file itself; one file system only
    Clone,     // a new file sharing the kept file's blocks (FICLONE), with the target's mode,
               // owner and times
};

enum class LinkRun {
    Replace,
    DryRun,  // every check, the content comparison included, but nothing is written
};

// Where a replacement stands, for tests and measurements that act between two steps.
enum class LinkStep {
    LastCheckDone,   // both files checked for the last time before the names are swapped
    Swapped,         // the target's path names the new file, its old file is kept aside
    Confirmed,       // both files seen unchanged after the swap; the old file goes next
    OldFileRemoved,  // the target's old file is gone; the folder is synced and journal told next
};
struct LinkSeams {
    std::function<void(LinkStep)> at;
};

struct LinkResult {
    // 0, an errno, kFileChanged, kNotRegularFile, kContentDiffers, kJournalUnwritten (nothing
    // was touched) or kOtherMount (a hard link between two mounts of one file system).
    int error = 0;
    // The failure is the kept file's: nothing else can be replaced by it.
    bool keptFailed = false;
    // Nothing to do: the target's path already names the kept file.
    bool alreadyLinked = false;
    // The space given back: the target's size, unless its old file keeps another name.
    std::uint64_t reclaimed = 0;
    // What the target's path names once it is replaced.
    FileIdentity identity;
    std::int64_t modified = 0;  // seconds, as CFileItem::modified
};

// Replaces the target's file by a hard link to, or a clone of, the kept file. Both must still
// be the files compared (CheckListedFile) and hold the same bytes. The replacement is written to
// `journal`, when given, with the temporary name it is made under, before anything is made; the
// link or clone is made under that name in the target's folder, both files are checked once
// more (device, inode, size, times to the nanosecond), and the two names are swapped in one
// step. The target's old file, kept under the temporary name, goes only once both files are
// seen unchanged after the swap; otherwise the names are swapped back and the answer is
// kFileChanged. Any failure leaves the target as it was and no temporary name behind. Across
// file systems the answer is EXDEV; a file system without clones answers EOPNOTSUPP
// (IsCloneUnsupported).
LinkResult ReplaceWithLink(const CFileItem& kept, const CFileItem& target, LinkKind kind,
                           LinkRun run = LinkRun::Replace, JournalRecorder* journal = nullptr,
                           const LinkSeams* seams = nullptr);

// Keeps records true to the disk after a successful replacement, so that later commands still
// accept them: the target's record takes what its path names now, and since a hard link moves
// the kept file's status-change time, every record in `group` naming that file takes it too.
void FollowReplacement(CFileItem& target, const LinkResult& result,
                       std::span<CFileItem* const> group);

// After a command removed, moved or replaced one name of a file that other records in `group`
// name too (hard links made here), those records take the file's new status-change time, which
// that command moved; only where the file is otherwise as they knew it (inode, size, times).
void FollowSharedFile(const CFileItem& actedOn, std::span<CFileItem* const> group);

// Whether a failure means the file system cannot make clones at all.
bool IsCloneUnsupported(int error);

}  // namespace krelix
