#include "operations/journal/entry_reversal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "operations/files/file_copy.h"
#include "operations/files/file_operations.h"
#include "operations/files/no_replace_move.h"
#include "operations/files/trash.h"
#include "platform/sync_folder.h"
#include "platform/temporary_path.h"
#include "platform/unique_fd.h"

namespace krelix {
namespace {

// The record of the file an entry left at `current`, for the identity checks.
CFileItem RecordOf(const JournalEntry& entry) {
    CFileItem item;
    item.path = entry.current;
    item.size = entry.after.size;
    item.identity = entry.after.identity;
    return item;
}

// Times before 1970 too: the nanoseconds of a timespec are never negative.
struct timespec Time(std::int64_t nanoseconds) {
    std::int64_t seconds = nanoseconds / 1'000'000'000;
    std::int64_t rest = nanoseconds % 1'000'000'000;
    if (rest < 0) {
        rest += 1'000'000'000;
        --seconds;
    }
    return {static_cast<time_t>(seconds), static_cast<long>(rest)};
}

// Moves the entry's file from `current` back to `original`, never over anything; within one file
// system by rename, across them by a copy that removes the source only once complete. A folder
// removed since the command is made again, as the trash does when it restores.
int MoveBack(const JournalEntry& entry) {
    const CFileItem item = RecordOf(entry);
    if (const int error = CheckListedFile(item)) {
        return error;
    }
    struct stat status {};
    if (::lstat(entry.original.c_str(), &status) == 0) {
        return EEXIST;
    }
    const std::string folder(FolderOf(entry.original));
    std::error_code ec;
    if (!folder.empty() && !std::filesystem::is_directory(folder, ec)) {
        std::filesystem::create_directories(folder, ec);
        if (ec) {
            return kFolderMissing;
        }
    }
    return MoveListedFile(item, entry.original);
}

// Whether the status is of the file the command left at the path: the same device, inode, size
// and modification time. Not the status-change time: every name of a hard-linked file given up
// or added (by anyone) moves it, and the undo copies whatever the shared file holds, so no byte
// is lost by going on.
bool IsSharedFile(const struct stat& status, const FileState& after) {
    const FileIdentity now = IdentityOf(status);
    return S_ISREG(status.st_mode) && static_cast<std::uint64_t>(status.st_size) == after.size &&
           now.device == after.identity.device && now.inode == after.identity.inode &&
           now.modifiedNs == after.identity.modifiedNs;
}

int CheckShared(const std::string& path, const FileState& after) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
        return errno;
    }
    return IsSharedFile(status, after) ? 0 : kFileChanged;
}

// The shared file at `original` (a hard link or clone) is copied into a file of its own with the
// replaced file's mode, owner and times, which takes over the name in one rename once it is
// complete, and only while the name still names the file the command left there.
int GiveOwnFile(const JournalEntry& entry) {
    if (const int error = CheckShared(entry.original, entry.after)) {
        return error;
    }
    UniqueFd in(::open(entry.original.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (in.get() < 0) {
        return errno == ELOOP ? kNotRegularFile : errno;
    }
    struct stat opened {};
    if (::fstat(in.get(), &opened) != 0) {
        return errno;
    }
    if (!IsSharedFile(opened, entry.after)) {
        return kFileChanged;
    }
    const std::string folder(FolderOf(entry.original));
    std::string pattern = folder + ".krelix-undo-XXXXXX";
    UniqueFd out(::mkostemp(pattern.data(), O_CLOEXEC));
    if (out.get() < 0) {
        return errno;
    }
    TemporaryPath temporary(pattern);
    std::uint64_t copied = 0;
    if (const int error = CopyFileContent(in.get(), out.get(), entry.after.size, copied)) {
        return error;
    }
    const FileState& old = entry.before;
    struct stat made {};
    if (::fstat(out.get(), &made) != 0) {
        return errno;
    }
    // Only root can give a file away; anyone else keeps it as their own.
    if (made.st_uid != old.uid || made.st_gid != old.gid) {
        (void)::fchown(out.get(), old.uid, old.gid);
    }
    if (::fchmod(out.get(), old.mode & 07777) != 0) {
        return errno;
    }
    const struct timespec times[2] = {Time(old.accessedNs), Time(old.identity.modifiedNs)};
    if (::futimens(out.get(), times) != 0 || ::fsync(out.get()) != 0) {
        return errno;
    }
    struct stat now {};
    if (::fstat(in.get(), &now) != 0) {
        return errno;
    }
    if (!IsSharedFile(now, entry.after) || copied != entry.after.size) {
        return kFileChanged;  // written to while it was copied
    }
    if (const int error = CheckShared(entry.original, entry.after)) {
        return error;
    }
    if (::rename(temporary.path().c_str(), entry.original.c_str()) != 0) {
        return errno;
    }
    temporary.Keep();
    SyncFolder(folder);
    return 0;
}

// The very file (device, inode, size, modification time; a rename moves only the status-change
// time) that the entry was about, at path.
std::optional<FileState> SameFileAt(const std::string& path, const FileState& before) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return std::nullopt;
    }
    const FileState now = StateOf(status);
    if (now.size != before.size || now.identity.device != before.identity.device ||
        now.identity.inode != before.identity.inode ||
        now.identity.modifiedNs != before.identity.modifiedNs) {
        return std::nullopt;
    }
    return now;
}

}  // namespace

// The freedesktop.org trash keeps "files/NAME" beside "info/NAME.trashinfo"; the latter goes with
// the file, or the trash would list a file it no longer has.
void ForgetTrashInfo(const std::string& inTrash) {
    const std::string_view folder = FolderOf(inTrash);
    constexpr std::string_view kFiles = "/files/";
    if (!folder.ends_with(kFiles)) {
        return;
    }
    const std::string info = std::string(folder.substr(0, folder.size() - kFiles.size())) +
                             "/info/" + inTrash.substr(folder.size()) + ".trashinfo";
    ::unlink(info.c_str());
}

bool Untouched(const JournalEntry& entry) {
    struct stat status {};
    if (entry.action == EntryAction::Copied) {
        return !entry.current.empty() && ::lstat(entry.current.c_str(), &status) != 0 &&
               errno == ENOENT;
    }
    return ::lstat(entry.original.c_str(), &status) == 0 &&
           IsSameVersion(status, entry.before.size, entry.before.identity);
}

std::string StoppedReason(const JournalEntry& entry) {
    const std::string stopped = "the command stopped while working on it";
    if (entry.current.empty()) {
        return stopped + "; look for it in the trash";
    }
    return entry.current == entry.original ? stopped
                                           : stopped + "; look at it and at " + entry.current;
}

std::optional<JournalEntry> FoundDone(const JournalEntry& entry, Trash* trash) {
    std::vector<std::string> candidates;
    // A replacement is found done by the file it was to put in the original's place, known
    // before that file took the name.
    const FileState& sought = entry.action == EntryAction::Replaced ? entry.after : entry.before;
    if (entry.action == EntryAction::Replaced && entry.after.identity.inode != 0) {
        candidates.push_back(entry.original);
    } else if (entry.action == EntryAction::Moved && !entry.current.empty()) {
        candidates.push_back(entry.current);
    } else if (entry.action == EntryAction::Recycled && trash != nullptr) {
        for (const std::string& folder : trash->FoldersFor(entry.original)) {
            std::error_code ec;
            for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
                 it.increment(ec)) {
                candidates.push_back(it->path().string());
            }
        }
    }
    for (const std::string& candidate : candidates) {
        if (const std::optional<FileState> now = SameFileAt(candidate, sought)) {
            JournalEntry done = entry;
            done.state = EntryState::Done;
            done.current = candidate;
            done.after = *now;
            return done;
        }
    }
    return std::nullopt;
}

int ReverseEntry(const JournalEntry& entry, Trash* trash, UndoOutcome& outcome) {
    int error = 0;
    switch (entry.action) {
        case EntryAction::Recycled:
            if ((error = MoveBack(entry)) == 0) {
                ForgetTrashInfo(entry.current);
                outcome.moved.push_back({"", entry.original});
            }
            break;
        case EntryAction::Moved:
            if ((error = MoveBack(entry)) == 0) {
                outcome.moved.push_back({entry.current, entry.original});
            }
            break;
        case EntryAction::Replaced:
            if ((error = GiveOwnFile(entry)) == 0) {
                outcome.unlinked.push_back(entry.original);
            }
            break;
        case EntryAction::Copied:
            if (trash == nullptr) {
                return kNoTrash;
            }
            if ((error = CheckListedFile(RecordOf(entry))) == 0) {
                error = trash->MoveToTrash(entry.current);
            }
            break;
    }
    return error;
}

std::string UndoReason(int error, const JournalEntry& entry) {
    switch (error) {
        case EEXIST:
            return "its path is taken now: " + entry.original;
        case kFileChanged:
            return "it changed since the command";
        case kNotRegularFile:
            return "it is no longer a regular file";
        case ENOENT:
            return "it is no longer there";
        case kFolderMissing:
            return "its folder " + std::string(FolderOf(entry.original)) +
                   " is missing and could not be made again";
        case kNoTrash:
            return "no trash to take the copy away to";
        default:
            return std::strerror(error);
    }
}

bool CanPass(int error) {
    return error != kFileChanged && error != kNotRegularFile && error != ENOENT;
}

}  // namespace krelix
