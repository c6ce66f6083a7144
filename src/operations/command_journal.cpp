#include "operations/command_journal.h"

#include <unistd.h>

#include <thread>

#include "cache/cache_file.h"
#include "platform/home_folders.h"

namespace krelix {
namespace {

constexpr std::int64_t kFormat = 1;

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS commands (
    id INTEGER PRIMARY KEY,
    kind INTEGER NOT NULL,
    started INTEGER NOT NULL,
    finished INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE IF NOT EXISTS entries (
    id INTEGER PRIMARY KEY,
    command INTEGER NOT NULL,
    action INTEGER NOT NULL,
    state INTEGER NOT NULL,
    original BLOB NOT NULL,
    current BLOB NOT NULL,
    b_device INTEGER, b_inode INTEGER, b_modified INTEGER, b_changed INTEGER, b_size INTEGER,
    b_mode INTEGER, b_uid INTEGER, b_gid INTEGER, b_accessed INTEGER,
    a_device INTEGER, a_inode INTEGER, a_modified INTEGER, a_changed INTEGER, a_size INTEGER,
    a_mode INTEGER, a_uid INTEGER, a_gid INTEGER, a_accessed INTEGER
);
CREATE INDEX IF NOT EXISTS entries_by_command ON entries (command);
PRAGMA user_version = 1;
)sql";

constexpr const char* kEntryColumns =
    "SELECT id, action, state, original, current, b_device, b_inode, b_modified, b_changed, "
    "b_size, b_mode, b_uid, b_gid, b_accessed, a_device, a_inode, a_modified, a_changed, a_size, "
    "a_mode, a_uid, a_gid, a_accessed FROM entries WHERE command = ?1 ORDER BY id";

std::string Unusable(const std::string& path, const std::string& why) {
    return "The command journal " + path + " " + why + "; commands cannot be undone.";
}

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

std::unique_ptr<CommandJournal> CommandJournal::Open(const std::string& path, std::time_t now,
                                                     std::string& notice,
                                                     std::chrono::milliseconds busyTimeout) {
    notice.clear();
    if (path.empty()) {
        notice =
            "No folder for the command journal is known (HOME is not set); commands cannot "
            "be undone.";
        return nullptr;
    }
    if (!MakePrivateFolders(path)) {
        notice = Unusable(path, "cannot be created");
        return nullptr;
    }
    int result = SQLITE_OK;
    std::unique_ptr<CommandJournal> journal = OpenWhileLocked(
        [&] { return OpenFile(path, busyTimeout, result, notice); }, busyTimeout, result, notice);
    if (journal || (!notice.empty() && !IsDamage(result))) {
        return journal;
    }
    if (IsDamage(result)) {
        const std::optional<std::string> kept = SetAsideWithLog(path, now);
        if (!kept) {
            notice = Unusable(path, "is damaged and cannot be set aside");
            return nullptr;
        }
        notice.clear();
        journal = OpenFile(path, busyTimeout, result, notice);
        if (journal) {
            notice = "The command journal " + path + " could not be read; it was kept as " + *kept +
                     " and a new one started. Earlier commands cannot be undone.";
        }
        return journal;
    }
    notice = Unusable(path, std::string("cannot be used (") + sqlite3_errstr(result) + ")");
    return nullptr;
}

// One attempt. A file of a newer format counts as damage: this version cannot read it, and the
// user's newer program keeps its own copy once set aside.
std::unique_ptr<CommandJournal> CommandJournal::OpenFile(const std::string& path,
                                                         std::chrono::milliseconds busyTimeout,
                                                         int& result, std::string& notice) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
        notice = Unusable(path, "is not a regular file");
        return nullptr;
    }
    std::string error;
    std::optional<SqliteDatabase> db = SqliteDatabase::Open(
        path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOFOLLOW, result, error);
    if (!db) {
        notice = Unusable(path, "cannot be opened (" + error + ")");
        return nullptr;
    }
    sqlite3_busy_timeout(db->get(), static_cast<int>(busyTimeout.count()));
    const std::int64_t format = db->UserVersion(result);
    if (result == SQLITE_OK && format > kFormat) {
        result = SQLITE_NOTADB;
        return nullptr;
    }
    if (result == SQLITE_OK) {
        result = db->Execute("PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL;");
    }
    if (result == SQLITE_OK && format < kFormat) {
        SqliteTransaction transaction(*db);
        result = transaction.began();
        if (result == SQLITE_OK && (result = db->Execute(kSchema)) == SQLITE_OK) {
            result = transaction.Commit();
        }
    }
    if (result == SQLITE_OK) {
        // A file whose pages are damaged may still open; a full look finds it now, not later.
        SqliteStatement check(*db, "PRAGMA quick_check", result);
        if (result == SQLITE_OK && (result = check.Step()) == SQLITE_ROW) {
            const std::string answer = Text(check.Blob(0));
            result = answer == "ok" ? SQLITE_OK : SQLITE_CORRUPT;
        }
    }
    if (result != SQLITE_OK) {
        return nullptr;
    }
    return std::unique_ptr<CommandJournal>(new CommandJournal(std::move(*db), path));
}

std::optional<std::int64_t> CommandJournal::BeginCommand(CommandKind kind, std::time_t now) {
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
    return sqlite3_last_insert_rowid(db_.get());
}

bool CommandJournal::FinishCommand(std::int64_t command) {
    int result = SQLITE_OK;
    SqliteStatement update(db_, "UPDATE commands SET finished = 1 WHERE id = ?1", result);
    if (result != SQLITE_OK) {
        return false;
    }
    update.Bind(1, command);
    return update.Step() == SQLITE_DONE;
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
                           "b_gid, b_accessed) VALUES (?1, ?2, 0, ?3, ?4, ?5, ?6, ?7, ?8, ?9, "
                           "?10, ?11, ?12, ?13)",
                           result);
    if (result != SQLITE_OK) {
        return std::nullopt;
    }
    insert.Bind(1, command);
    insert.Bind(2, std::int64_t{static_cast<int>(entry.action)});
    insert.Bind(3, Bytes(entry.original));
    insert.Bind(4, Bytes(entry.current));
    BindState(insert, 5, entry.before);
    if (insert.Step() != SQLITE_DONE) {
        return std::nullopt;
    }
    return sqlite3_last_insert_rowid(db_.get());
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
    return Commands("finished = 0");
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
