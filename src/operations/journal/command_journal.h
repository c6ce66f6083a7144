#pragma once

#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <ctime>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "operations/journal/command_lock.h"
#include "platform/file_identity.h"
#include "storage/sqlite_database.h"

namespace krelix {

// What the user ran; kept by number in the file, so the numbers never change.
enum class CommandKind {
    Recycle = 1,
    Move = 2,
    Copy = 3,  // only a copy that replaced files is kept
    Rename = 4,
    BulkRename = 5,
    HardLink = 6,
    Clone = 7,
};

// What was done to one file.
enum class EntryAction {
    Recycled = 1,  // original went to the trash, at `current`
    Moved = 2,     // original was moved or renamed to `current`
    Replaced = 3,  // original's file was replaced by a hard link or clone (current = original)
    Copied = 4,    // a new file was made at `current` (original: what it was copied from)
};

enum class EntryState {
    Pending = 0,  // written before the file was touched; the command may have stopped here
    Done = 1,
    Undone = 2,
};

// A file's state: which file (identity) and its size, mode, owner and access time. Replaced
// files are given these back when undone.
struct FileState {
    FileIdentity identity;
    std::uint64_t size = 0;
    std::uint32_t mode = 0;
    std::uint32_t uid = 0;
    std::uint32_t gid = 0;
    std::int64_t accessedNs = 0;

    friend bool operator==(const FileState&, const FileState&) = default;
};
FileState StateOf(const struct stat& status);

struct JournalEntry {
    std::int64_t id = 0;
    EntryAction action = EntryAction::Moved;
    EntryState state = EntryState::Pending;
    std::string original;
    std::string current;  // the new path or trash location; may be empty while pending
    FileState before;     // the original file before the command touched it
    FileState after;      // what `current` named once done
};

struct JournalCommand {
    std::int64_t id = 0;
    CommandKind kind = CommandKind::Move;
    std::int64_t started = 0;           // seconds since 1970
    bool finished = false;              // false: the program stopped before the command ended
    bool running = false;               // another program (or this one) is working on it now
    std::vector<JournalEntry> entries;  // oldest first
};

// The journal of the commands that changed files, so that the newest can be reversed. One SQLite
// file in WAL mode; a new entry is synced to the disk before its file is touched, completing it
// waits only for the next one.
// A damaged file, or one of a newer format, is set aside and a fresh one started, with a notice.
// Every write answers false when it failed; the journal never throws. One thread at a time.
class CommandJournal {
  public:
    // Nothing, with the reason in notice, when no journal can be kept; a notice may also come
    // with a journal (one was set aside).
    static std::unique_ptr<CommandJournal> Open(
        const std::string& path, std::time_t now, std::string& notice,
        std::chrono::milliseconds busyTimeout = std::chrono::seconds(5));

    const std::string& path() const { return path_; }

    // The command is seen by others only once this journal holds its lock (see Hold), and
    // until FinishCommand it counts as running.
    std::optional<std::int64_t> BeginCommand(CommandKind kind, std::time_t now);
    bool FinishCommand(std::int64_t command);
    // Written as Pending, before the file is touched, with `before` and, where it is known
    // already, `after`; the entry's id, or nothing.
    std::optional<std::int64_t> AddEntry(std::int64_t command, const JournalEntry& entry);
    // What the entry's file will be once done, known only after the file was made.
    bool SetEntryAfter(std::int64_t entry, const FileState& after);
    // The entry is Done, with where the file is now and what it is. Earlier entries of the
    // command naming the same file (hard links to one kept file) take its new status-change
    // time, which this command moved.
    bool CompleteEntry(std::int64_t command, std::int64_t entry, const std::string& current,
                       const FileState& after);
    bool SetEntryState(std::int64_t entry, EntryState state);
    // The command is dropped from the journal: all of it was undone or nothing is left to undo.
    bool ForgetCommand(std::int64_t command);

    // The command's lock, for whoever works on it (an undo); nothing while a command runs or
    // another undo works on it.
    std::optional<CommandLock> Hold(std::int64_t command);

    // The newest command with an entry not undone, with its entries.
    std::optional<JournalCommand> Newest();
    // Commands that never finished, are not running and still have an entry not undone, newest
    // first.
    std::vector<JournalCommand> Interrupted();
    // Drops the commands started more than `age` before now.
    bool Prune(std::time_t now, std::chrono::seconds age = std::chrono::hours(24 * 90));

  private:
    CommandJournal(SqliteDatabase db, std::string path)
        : db_(std::move(db)), path_(std::move(path)) {}
    std::vector<JournalCommand> Commands(const char* where);
    bool LoadEntries(JournalCommand& command);

    std::string LocksFolder() const { return path_ + ".locks"; }

    SqliteDatabase db_;
    std::string path_;
    std::map<std::int64_t, CommandLock> running_;  // commands begun here and not finished
};

// $XDG_STATE_HOME/krelix/journal.sqlite, ~/.local/state/... when that is unset; empty when no
// home is known.
std::string DefaultJournalPath();

}  // namespace krelix
