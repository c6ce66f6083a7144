// Opening the cache file, and what is done when it cannot be used as it is.
#include "cache/hash_cache.h"
#include "storage/database_opening.h"

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

}  // namespace

std::unique_ptr<HashCache> HashCache::Open(const std::string& path, std::time_t now,
                                           std::string& notice,
                                           std::chrono::milliseconds busyTimeout) {
    notice.clear();
    if (path.empty()) {
        notice = "No folder for the hash cache is known (HOME is not set); searching without it.";
        return nullptr;
    }
    // Each connection (this and the writer's) serves one thread at a time, so SQLite need not
    // lock it at every call: a lookup reads thirteen columns.
    const DatabaseKind kind{"The hash cache",
                            "searching without it",
                            kFormat,
                            kSchema,
                            "PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL;",
                            SQLITE_OPEN_NOMUTEX,
                            false};
    std::unique_ptr<HashCache> cache;
    const auto use = [&](SqliteDatabase&& db, int& result) {
        cache.reset(new HashCache(std::move(db), path, now));
        if (!cache->Prepare(busyTimeout, result)) {
            cache.reset();
        }
        return cache != nullptr;
    };
    std::optional<std::string> kept;
    if (OpenDatabase(path, kind, now, busyTimeout, use, notice, kept) && kept) {
        cache->notice_ = "The hash cache " + path + " was damaged; it was kept as " + *kept +
                         " and a new one started.";
    }
    return cache;
}

}  // namespace krelix
