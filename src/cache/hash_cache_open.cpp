// Opening the cache file, and what is done when it cannot be used as it is.
#include <sys/stat.h>
#include <unistd.h>

#include <thread>

#include "cache/cache_file.h"
#include "cache/hash_cache.h"

namespace krelix {
namespace {

constexpr std::int64_t kFormat = 1;

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS digests (
    size INTEGER NOT NULL,
    device INTEGER NOT NULL,
    inode INTEGER NOT NULL,
    modified_ns INTEGER NOT NULL,
    changed_ns INTEGER NOT NULL,
    first_crc INTEGER NOT NULL,
    first_low INTEGER NOT NULL,
    first_high INTEGER NOT NULL,
    last_block_crc INTEGER NOT NULL,
    complete INTEGER NOT NULL,
    whole_crc INTEGER,
    whole_low INTEGER,
    whole_high INTEGER,
    seen_day INTEGER NOT NULL,
    PRIMARY KEY (size, device, inode)
) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS facts (name TEXT PRIMARY KEY, value INTEGER NOT NULL);
PRAGMA user_version = 1;
)sql";

std::string Unusable(const std::string& path, const std::string& why) {
    return "The hash cache " + path + " " + why + "; searching without it.";
}

}  // namespace

std::unique_ptr<HashCache> HashCache::Open(const std::string& path, std::time_t now,
                                           std::string& notice,
                                           std::chrono::milliseconds busyTimeout) {
    notice.clear();
    if (path.empty()) {
        notice = "No folder for the hash cache is known (HOME is not set); searching without it.";
        return nullptr;
    }
    if (!MakePrivateFolders(path)) {
        notice = Unusable(path, "cannot be created");
        return nullptr;
    }
    int result = SQLITE_OK;
    std::unique_ptr<HashCache> cache =
        OpenWhileLocked([&] { return OpenFile(path, now, busyTimeout, result, notice); },
                        busyTimeout, result, notice);
    if (cache || !notice.empty()) {
        return cache;
    }
    if (IsDamage(result)) {
        const std::optional<std::string> kept = SetAsideWithLog(path, now);
        if (!kept) {
            notice = Unusable(path, "is damaged and cannot be set aside");
            return nullptr;
        }
        cache = OpenFile(path, now, busyTimeout, result, notice);
        if (cache) {
            cache->notice_ = "The hash cache " + path + " was damaged; it was kept as " + *kept +
                             " and a new one started.";
            return cache;
        }
        if (!notice.empty()) {
            return nullptr;
        }
    }
    if (result == SQLITE_BUSY || result == SQLITE_LOCKED) {
        notice = Unusable(path, "is locked by another program");
    } else if (result == SQLITE_READONLY) {
        notice = Unusable(path, "cannot be written");
    } else {
        notice = Unusable(path, std::string("cannot be used (") + sqlite3_errstr(result) + ")");
    }
    return nullptr;
}

// One attempt: the cache, or nothing with either a notice (a reason that needs no more) or the
// result code that made it fail.
std::unique_ptr<HashCache> HashCache::OpenFile(const std::string& path, std::time_t now,
                                               std::chrono::milliseconds busyTimeout, int& result,
                                               std::string& notice) {
    struct stat status {};
    if (lstat(path.c_str(), &status) == 0) {
        if (!S_ISREG(status.st_mode)) {
            notice = Unusable(path, "is not a regular file");
            return nullptr;
        }
        if (access(path.c_str(), R_OK | W_OK) != 0) {
            notice = Unusable(path, "cannot be written");
            return nullptr;
        }
    }
    std::string error;
    // Each connection (this and the writer's) serves one thread at a time, so SQLite need not
    // lock it at every call: a lookup reads thirteen columns.
    std::optional<SqliteDatabase> db = SqliteDatabase::Open(
        path,
        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOFOLLOW | SQLITE_OPEN_NOMUTEX,
        result, error);
    if (!db) {
        notice = Unusable(path, "cannot be opened (" + error + ")");
        return nullptr;
    }
    sqlite3_busy_timeout(db->get(), static_cast<int>(busyTimeout.count()));
    const std::int64_t format = db->UserVersion(result);
    if (result == SQLITE_OK && format > kFormat) {
        notice = Unusable(path, "was written by a newer version of Krelix");
        return nullptr;
    }
    if (result == SQLITE_OK) {
        result = db->Execute("PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL;");
    }
    if (result == SQLITE_OK && format < kFormat) {
        SqliteTransaction transaction(*db);
        result = transaction.began();
        if (result == SQLITE_OK && (result = db->Execute(kSchema)) == SQLITE_OK) {
            result = transaction.Commit();
        }
    }
    if (result != SQLITE_OK) {
        return nullptr;
    }
    std::unique_ptr<HashCache> cache(new HashCache(std::move(*db), path, now));
    if (!cache->Prepare(busyTimeout, result)) {
        return nullptr;
    }
    return cache;
}

}  // namespace krelix
