// Opening the command journal: its folder, its format, and what is done with a damaged file.
#include "operations/journal/command_journal.h"
#include "storage/database_opening.h"

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
    const DatabaseKind kind{"The command journal",
                            "commands cannot be undone",
                            kFormat,
                            kSchema,
                            "PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL;",
                            0,
                            true};
    std::unique_ptr<CommandJournal> journal;
    const auto use = [&](SqliteDatabase&& db, int&) {
        journal.reset(new CommandJournal(std::move(db), path));
        return true;
    };
    std::optional<std::string> kept;
    if (OpenDatabase(path, kind, now, busyTimeout, use, notice, kept) && kept) {
        notice = "The command journal " + path + " could not be read; it was kept as " + *kept +
                 " and a new one started. Earlier commands cannot be undone.";
    }
    return journal;
}

}  // namespace krelix
