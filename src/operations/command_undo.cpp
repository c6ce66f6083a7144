#include "operations/command_undo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>

#include "operations/file_copy.h"
#include "operations/file_operations.h"
#include "operations/file_rename.h"
#include "operations/trash.h"
#include "platform/sync_folder.h"

namespace krelix {
namespace {

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

class TemporaryFile {
  public:
    explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
    ~TemporaryFile() {
        if (!path_.empty()) {
            ::unlink(path_.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const std::string& path() const { return path_; }
    void Keep() { path_.clear(); }

  private:
    std::string path_;
};

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

std::string Reason(int error, const std::string& target) {
    switch (error) {
        case EEXIST:
            return "its path is taken now: " + target;
        case kFileChanged:
            return "it changed since the command";
        case kNotRegularFile:
            return "it is no longer a regular file";
        case ENOENT:
        case ENOTDIR:
            return "it is no longer there";
        default:
            return std::strerror(error);
    }
}

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

// Moves the entry's file from `current` back to `original`, never over anything; within one file
// system by rename, across them by a copy that removes the source only once complete.
int MoveBack(const JournalEntry& entry) {
    const CFileItem item = RecordOf(entry);
    if (const int error = CheckListedFile(item)) {
        return error;
    }
    struct stat status {};
    if (::lstat(entry.original.c_str(), &status) == 0) {
        return EEXIST;
    }
    if (const int error = MoveListedFile(item, entry.original)) {
        // A missing folder answers ENOENT too; it is the target's, the file is still here.
        return error == ENOENT && ::lstat(entry.current.c_str(), &status) == 0 ? ENOTDIR : error;
    }
    return 0;
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
    Descriptor in(::open(entry.original.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
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
    Descriptor out(::mkostemp(pattern.data(), O_CLOEXEC));
    if (out.get() < 0) {
        return errno;
    }
    TemporaryFile temporary(pattern);
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

// A pending entry whose file is plainly as it was before: the command never touched it.
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

// A pending move or recycle whose file got where it was going before the program stopped, as
// if it had been written done; nothing when it cannot be found so.
std::optional<JournalEntry> FoundDone(const JournalEntry& entry, Trash* trash) {
    std::vector<std::string> candidates;
    if (entry.action == EntryAction::Moved && !entry.current.empty()) {
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
        if (const std::optional<FileState> now = SameFileAt(candidate, entry.before)) {
            JournalEntry done = entry;
            done.state = EntryState::Done;
            done.current = candidate;
            done.after = *now;
            return done;
        }
    }
    return std::nullopt;
}

}  // namespace

int ReturnFromTrash(const std::string& inTrash, const std::string& original) {
    const int error = MoveNoReplace(inTrash, original);
    if (error == 0) {
        ForgetTrashInfo(inTrash);
    }
    return error;
}

std::string CommandText(CommandKind kind) {
    switch (kind) {
        case CommandKind::Recycle:
            return "moving files to the trash";
        case CommandKind::Move:
            return "moving files";
        case CommandKind::Copy:
            return "copying files";
        case CommandKind::Rename:
            return "renaming a file";
        case CommandKind::BulkRename:
            return "renaming files";
        case CommandKind::HardLink:
            return "replacing duplicates by hard links";
        case CommandKind::Clone:
            return "replacing duplicates by clones";
    }
    return "changing files";
}

UndoOutcome UndoCommand(CommandJournal& journal, const JournalCommand& command, Trash* trash) {
    UndoOutcome outcome;
    outcome.found = true;
    outcome.kind = command.kind;
    const std::vector<JournalEntry>& entries = command.entries;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        if (it->state == EntryState::Undone) {
            continue;
        }
        std::optional<JournalEntry> found;
        if (it->state == EntryState::Pending) {
            if (Untouched(*it)) {
                continue;
            }
            found = FoundDone(*it, trash);
            if (!found) {
                outcome.left.push_back({it->original, StoppedReason(*it)});
                continue;
            }
        }
        const JournalEntry& entry = found ? *found : *it;
        int error = 0;
        std::string where = entry.current;
        switch (entry.action) {
            case EntryAction::Recycled:
                error = MoveBack(entry);
                if (error == 0) {
                    ForgetTrashInfo(entry.current);
                    outcome.moved.push_back({"", entry.original});
                }
                break;
            case EntryAction::Moved:
                error = MoveBack(entry);
                if (error == 0) {
                    outcome.moved.push_back({entry.current, entry.original});
                }
                break;
            case EntryAction::Replaced:
                where = entry.original;
                error = GiveOwnFile(entry);
                if (error == 0) {
                    outcome.unlinked.push_back(entry.original);
                }
                break;
            case EntryAction::Copied:
                if (trash == nullptr) {
                    outcome.left.push_back({where, "no trash to take the copy away to"});
                    continue;
                }
                if ((error = CheckListedFile(RecordOf(entry))) == 0) {
                    error = trash->MoveToTrash(entry.current);
                }
                break;
        }
        if (error != 0) {
            outcome.left.push_back({where, Reason(error, entry.original)});
            continue;
        }
        if (entry.action != EntryAction::Copied) {
            ++outcome.restored;
        }
        // At once, so that an undo stopped half-way is not done twice when tried again.
        if (!journal.SetEntryState(entry.id, EntryState::Undone)) {
            outcome.journalFailed = true;
        }
    }
    if (!journal.ForgetCommand(command.id)) {
        outcome.journalFailed = true;
    }
    return outcome;
}

UndoOutcome UndoNewestCommand(CommandJournal& journal, Trash* trash) {
    const std::optional<JournalCommand> newest = journal.Newest();
    if (!newest) {
        return {};
    }
    return UndoCommand(journal, *newest, trash);
}

}  // namespace krelix
