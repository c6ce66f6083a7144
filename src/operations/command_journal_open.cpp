// Opening the command journal: its folder, its format, and what is done with a damaged file.
#include <sys/stat.h>

#include "cache/cache_file.h"
#include "operations/command_journal.h"

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

std::string Unusable(const std::string& path, const std::string& why) {
    return "The command journal " + path + " " + why + "; commands cannot be undone.";
}

}  // namespace

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
            const std::span<const unsigned char> bytes = check.Blob(0);
            const std::string answer(bytes.begin(), bytes.end());
            result = answer == "ok" ? SQLITE_OK : SQLITE_CORRUPT;
        }
    }
    if (result != SQLITE_OK) {
        return nullptr;
    }
    return std::unique_ptr<CommandJournal>(new CommandJournal(std::move(*db), path));
}

}  // namespace krelix
