#include "operations/journal/command_journal.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/home_folders.h"
#include "storage/database_file.h"

namespace krelix {
namespace {

constexpr const char* kEntryColumns =
    "SELECT id, action, state, original, current, b_device, b_inode, b_modified, b_changed, "
    "b_size, b_mode, b_uid, b_gid, b_accessed, a_device, a_inode, a_modified, a_changed, a_size, "
    "a_mode, a_uid, a_gid, a_accessed FROM entries WHERE command = ?1 ORDER BY id";

std::span<const unsigned char> Bytes(const std::string& text) {
    return {reinterpret_cast<const unsigned char*>(text.data()), text.size()};
}

std::string Text(std::span<const unsigned char> bytes) {
    return bytes.empty() ? std::string()
                         : std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void BindState(SqliteStatement& statement, int first, const FileState& state) {
    statement.Bind(first, Signed(state.identity.device));
    statement.Bind(first + 1, Signed(state.identity.inode));
    statement.Bind(first + 2, state.identity.modifiedNs);
    statement.Bind(first + 3, state.identity.changedNs);
    statement.Bind(first + 4, Signed(state.size));
    statement.Bind(first + 5, std::int64_t{state.mode});
    statement.Bind(first + 6, std::int64_t{state.uid});
    statement.Bind(first + 7, std::int64_t{state.gid});
    statement.Bind(first + 8, state.accessedNs);
}

FileState ReadState(const SqliteStatement& statement, int first) {
    FileState state;
    state.identity.device = Unsigned(statement.Integer(first));
    state.identity.inode = Unsigned(statement.Integer(first + 1));
    state.identity.modifiedNs = statement.Integer(first + 2);
    state.identity.changedNs = statement.Integer(first + 3);
    state.size = Unsigned(statement.Integer(first + 4));
    state.mode = static_cast<std::uint32_t>(statement.Integer(first + 5));
    state.uid = static_cast<std::uint32_t>(statement.Integer(first + 6));
    state.gid = static_cast<std::uint32_t>(statement.Integer(first + 7));
    state.accessedNs = statement.Integer(first + 8);
    return state;
}

bool IsKnownAction(std::int64_t action) {
    return action >= static_cast<int>(EntryAction::Recycled) &&
           action <= static_cast<int>(EntryAction::Copied);
}

}  // namespace

FileState StateOf(const struct stat& status) {
    FileState state;
    state.identity = IdentityOf(status);
    state.size = static_cast<std::uint64_t>(status.st_size);
    state.mode = status.st_mode;
    state.uid = status.st_uid;
    state.gid = status.st_gid;
    state.accessedNs = std::int64_t{status.st_atim.tv_sec} * 1'000'000'000 + status.st_atim.tv_nsec;
    return state;
}

std::optional<std::int64_t> CommandJournal::BeginCommand(CommandKind kind, std::time_t now) {
    // A number just given up (a command undone and forgotten) may still be locked by the undo
    // that is letting it go.
    for (int attempt = 0; attempt < 100; ++attempt) {
        SqliteTransaction transaction(db_);
        if (transaction.began() != SQLITE_OK) {
            return std::nullopt;
        }
        int result = SQLITE_OK;
        SqliteStatement insert(db_, "INSERT INTO commands (kind, started) VALUES (?1, ?2)", result);
        if (result != SQLITE_OK) {
            return std::nullopt;
        }
        insert.Bind(1, std::int64_t{static_cast<int>(kind)});
        insert.Bind(2, std::int64_t{now});
        if (insert.Step() != SQLITE_DONE) {
            return std::nullopt;
        }
        const std::int64_t id = sqlite3_last_insert_rowid(db_.get());
        int error = 0;
        std::optional<CommandLock> lock = CommandLock::Take(LocksFolder(), id, error);
        if (!lock && error == EWOULDBLOCK) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        if (!lock || transaction.Commit() != SQLITE_OK) {
            return std::nullopt;
        }
        running_.insert_or_assign(id, std::move(*lock));
        return id;
    }
    return std::nullopt;
}

bool CommandJournal::FinishCommand(std::int64_t command) {
    int result = SQLITE_OK;
    SqliteStatement update(db_, "UPDATE commands SET finished = 1 WHERE id = ?1", result);
    if (result != SQLITE_OK) {
        return false;
    }
    update.Bind(1, command);
    const bool written = update.Step() == SQLITE_DONE;
    // Let go even when the row could not be written: the command is over either way, and its
    // entries are then taken for those of a command stopped half-way.
    if (const auto it = running_.find(command); it != running_.end()) {
        it->second.RemoveFile();
        running_.erase(it);
    }
    return written;
}

std::optional<CommandLock> CommandJournal::Hold(std::int64_t command) {
    int error = 0;
    return CommandLock::Take(LocksFolder(), command, error);
}

std::optional<std::int64_t> CommandJournal::AddEntry(std::int64_t command,
                                                     const JournalEntry& entry) {
    // The one write that must reach the disk before its file is touched: it also carries the
    // writes before it that did not wait for the disk.
    if (db_.Execute("PRAGMA synchronous = FULL") != SQLITE_OK) {
        return std::nullopt;
    }
    int result = SQLITE_OK;
    SqliteStatement insert(db_,
                           "INSERT INTO entries (command, action, state, original, current, "
                           "b_device, b_inode, b_modified, b_changed, b_size, b_mode, b_uid, "
                           "b_gid, b_accessed, a_device, a_inode, a_modified, a_changed, a_size, "
                           "a_mode, a_uid, a_gid, a_accessed) VALUES (?1, ?2, 0, ?3, ?4, ?5, ?6, "
                           "?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, ?19, ?20, "
                           "?21, ?22)",
                           result);
    if (result != SQLITE_OK) {
        return std::nullopt;
    }
    insert.Bind(1, command);
    insert.Bind(2, std::int64_t{static_cast<int>(entry.action)});
    insert.Bind(3, Bytes(entry.original));
    insert.Bind(4, Bytes(entry.current));
    BindState(insert, 5, entry.before);
    BindState(insert, 14, entry.after);
    if (insert.Step() != SQLITE_DONE) {
        return std::nullopt;
    }
    return sqlite3_last_insert_rowid(db_.get());
}

bool CommandJournal::SetEntryAfter(std::int64_t entry, const FileState& after) {
    int result = SQLITE_OK;
    SqliteStatement update(db_,
                           "UPDATE entries SET a_device = ?2, a_inode = ?3, a_modified = ?4, "
                           "a_changed = ?5, a_size = ?6, a_mode = ?7, a_uid = ?8, a_gid = ?9, "
                           "a_accessed = ?10 WHERE id = ?1",
                           result);
    if (result != SQLITE_OK) {
        return false;
    }
    update.Bind(1, entry);
    BindState(update, 2, after);
    return update.Step() == SQLITE_DONE;
}

bool CommandJournal::CompleteEntry(std::int64_t command, std::int64_t entry,
                                   const std::string& current, const FileState& after) {
    // Need not wait for the disk: lost in a power cut, the entry stays pending, which undo
    // treats with care (left unless plainly untouched), and nothing is lost.
    if (db_.Execute("PRAGMA synchronous = NORMAL") != SQLITE_OK) {
        return false;
    }
    SqliteTransaction transaction(db_);
    if (transaction.began() != SQLITE_OK) {
        return false;
    }
    int result = SQLITE_OK;
    SqliteStatement update(db_,
                           "UPDATE entries SET state = 1, current = ?2, a_device = ?3, "
                           "a_inode = ?4, a_modified = ?5, a_changed = ?6, a_size = ?7, "
                           "a_mode = ?8, a_uid = ?9, a_gid = ?10, a_accessed = ?11 WHERE id = ?1",
                           result);
    if (result != SQLITE_OK) {
        return false;
    }
    update.Bind(1, entry);
    update.Bind(2, Bytes(current));
    BindState(update, 3, after);
    if (update.Step() != SQLITE_DONE) {
        return false;
    }
    SqliteStatement follow(db_,
                           "UPDATE entries SET a_changed = ?4 WHERE command = ?1 AND state = 1 "
                           "AND a_device = ?2 AND a_inode = ?3 AND a_modified = ?5",
                           result);
    if (result != SQLITE_OK) {
        return false;
    }
    follow.Bind(1, command);
    follow.Bind(2, Signed(after.identity.device));
    follow.Bind(3, Signed(after.identity.inode));
    follow.Bind(4, after.identity.changedNs);
    follow.Bind(5, after.identity.modifiedNs);
    return follow.Step() == SQLITE_DONE && transaction.Commit() == SQLITE_OK;
}

bool CommandJournal::SetEntryState(std::int64_t entry, EntryState state) {
    // Lost in a power cut, an undone entry is tried again and left: its file moved on.
    if (db_.Execute("PRAGMA synchronous = NORMAL") != SQLITE_OK) {
        return false;
    }
    int result = SQLITE_OK;
    SqliteStatement update(db_, "UPDATE entries SET state = ?2 WHERE id = ?1", result);
    if (result != SQLITE_OK) {
        return false;
    }
    update.Bind(1, entry);
    update.Bind(2, std::int64_t{static_cast<int>(state)});
    return update.Step() == SQLITE_DONE;
}

bool CommandJournal::ForgetCommand(std::int64_t command) {
    SqliteTransaction transaction(db_);
    if (transaction.began() != SQLITE_OK) {
        return false;
    }
    for (const char* sql :
         {"DELETE FROM entries WHERE command = ?1", "DELETE FROM commands WHERE id = ?1"}) {
        int result = SQLITE_OK;
        SqliteStatement remove(db_, sql, result);
        if (result != SQLITE_OK) {
            return false;
        }
        remove.Bind(1, command);
        if (remove.Step() != SQLITE_DONE) {
            return false;
        }
    }
    return transaction.Commit() == SQLITE_OK;
}

bool CommandJournal::LoadEntries(JournalCommand& command) {
    int result = SQLITE_OK;
    SqliteStatement select(db_, kEntryColumns, result);
    if (result != SQLITE_OK) {
        return false;
    }
    select.Bind(1, command.id);
    while ((result = select.Step()) == SQLITE_ROW) {
        const std::int64_t action = select.Integer(1);
        const std::int64_t state = select.Integer(2);
        if (!IsKnownAction(action) || state < 0 || state > 2) {
            continue;  // not written by this program: nothing safe can be done with it
        }
        JournalEntry entry;
        entry.id = select.Integer(0);
        entry.action = static_cast<EntryAction>(action);
        entry.state = static_cast<EntryState>(state);
        entry.original = Text(select.Blob(3));
        entry.current = Text(select.Blob(4));
        entry.before = ReadState(select, 5);
        entry.after = ReadState(select, 14);
        command.entries.push_back(std::move(entry));
    }
    return result == SQLITE_DONE;
}

std::vector<JournalCommand> CommandJournal::Commands(const char* where) {
    std::vector<JournalCommand> commands;
    const std::string sql =
        std::string("SELECT id, kind, started, finished FROM commands c WHERE ") + where +
        " AND EXISTS (SELECT 1 FROM entries e WHERE e.command = c.id AND "
        "e.state != 2) ORDER BY id DESC";
    int result = SQLITE_OK;
    SqliteStatement select(db_, sql.c_str(), result);
    if (result != SQLITE_OK) {
        return commands;
    }
    while (select.Step() == SQLITE_ROW) {
        JournalCommand command;
        command.id = select.Integer(0);
        command.kind = static_cast<CommandKind>(select.Integer(1));
        command.started = select.Integer(2);
        command.finished = select.Integer(3) != 0;
        command.running = CommandLock::IsHeld(LocksFolder(), command.id);
        commands.push_back(std::move(command));
    }
    for (JournalCommand& command : commands) {
        LoadEntries(command);
    }
    return commands;
}

std::optional<JournalCommand> CommandJournal::Newest() {
    std::vector<JournalCommand> commands = Commands("1");
    if (commands.empty()) {
        return std::nullopt;
    }
    return std::move(commands.front());
}

std::vector<JournalCommand> CommandJournal::Interrupted() {
    std::vector<JournalCommand> commands = Commands("finished = 0");
    std::erase_if(commands, [](const JournalCommand& command) { return command.running; });
    return commands;
}

bool CommandJournal::Prune(std::time_t now, std::chrono::seconds age) {
    SqliteTransaction transaction(db_);
    if (transaction.began() != SQLITE_OK) {
        return false;
    }
    const std::int64_t before = std::int64_t{now} - age.count();
    for (const char* sql : {"DELETE FROM entries WHERE command IN (SELECT id FROM commands WHERE "
                            "started < ?1)",
                            "DELETE FROM commands WHERE started < ?1"}) {
        int result = SQLITE_OK;
        SqliteStatement remove(db_, sql, result);
        if (result != SQLITE_OK) {
            return false;
        }
        remove.Bind(1, before);
        if (remove.Step() != SQLITE_DONE) {
            return false;
        }
    }
    return transaction.Commit() == SQLITE_OK;
}

std::string DefaultJournalPath() {
    const std::string folder = XdgFolder("XDG_STATE_HOME", ".local/state");
    return folder.empty() ? std::string() : folder + "/krelix/journal.sqlite";
}

}  // namespace krelix
