#include "cache/hash_cache.h"

#include <algorithm>
#include <utility>

#include "platform/home_folders.h"
#include "storage/database_file.h"

namespace krelix {
namespace {

constexpr std::int64_t kForgetAfterDays = 90;

}  // namespace

// The columns Take reads, in its order.
constexpr const char* kEntryColumns =
    "SELECT device, inode, modified_ns, changed_ns, first_crc, first_low, first_high, "
    "last_block_crc, complete, whole_crc, whole_low, whole_high, seen_day FROM digests";

HashCache::HashCache(SqliteDatabase db, std::string path, std::time_t now)
    : db_(std::move(db)), path_(std::move(path)), now_(now), today_(now / 86400) {}

HashCache::~HashCache() {
    EndReading();
}

bool HashCache::Prepare(std::chrono::milliseconds busyTimeout, int& result) {
    find_ = SqliteStatement(
        db_,
        (std::string(kEntryColumns) + " WHERE size = ?3 AND device = ?1 AND inode = ?2").c_str(),
        result);
    // In the key's order, so that lookups sorted the same way meet their entries in one pass.
    findSize_ = SqliteStatement(
        db_, (std::string(kEntryColumns) + " WHERE size = ?1 ORDER BY device, inode").c_str(),
        result);
    if (!find_.valid() || !findSize_.valid()) {
        result = SQLITE_CORRUPT;  // its tables are not what this version writes
        return false;
    }
    // A first search need not look up every file in vain.
    SqliteStatement any(db_, "SELECT EXISTS (SELECT 1 FROM digests)", result);
    if (any.valid() && (result = any.Step()) == SQLITE_ROW) {
        empty_ = any.Integer(0) == 0;
    } else {
        return false;
    }
    writer_ = DigestWriter::Open(path_, static_cast<int>(busyTimeout.count()), today_, result);
    return writer_ != nullptr;
}

std::optional<CachedDigests> HashCache::Find(const FileIdentity& identity, std::uint64_t size) {
    if (!BeginReading()) {
        return std::nullopt;
    }
    find_.Bind(1, Signed(identity.device));
    find_.Bind(2, Signed(identity.inode));
    find_.Bind(3, Signed(size));
    const int result = find_.Step();
    std::optional<CachedDigests> found;
    if (result == SQLITE_ROW) {
        found = Take(find_, identity, size);
    }
    find_.Reset();
    if (result != SQLITE_ROW && result != SQLITE_DONE) {
        Failed(result, "read");
        usable_ = false;
    }
    return found;
}

void HashCache::FindOfSize(std::uint64_t size, std::span<DigestLookup> lookups) {
    // A size's entries are read in one pass only when there are several files to match: a file
    // alone is one lookup, whatever else the cache holds of its size.
    if (lookups.size() < 4) {
        DigestCache::FindOfSize(size, lookups);
        return;
    }
    if (!BeginReading()) {
        return;
    }
    // SQLite orders the key as signed numbers.
    const auto key = [](const FileIdentity& identity) {
        return std::pair(Signed(identity.device), Signed(identity.inode));
    };
    std::sort(lookups.begin(), lookups.end(), [&](const DigestLookup& a, const DigestLookup& b) {
        return key(a.identity) < key(b.identity);
    });
    findSize_.Bind(1, Signed(size));
    // Entries of files not searched now are passed over, up to a bound; beyond it the rest are
    // asked for one by one, so that a big cache and a small search stay quick.
    const std::size_t passable = 2 * lookups.size() + 16;
    std::size_t passed = 0;
    std::size_t next = 0;
    int result = SQLITE_DONE;
    while (next < lookups.size() && passed <= passable &&
           (result = findSize_.Step()) == SQLITE_ROW) {
        const std::pair entry(findSize_.Integer(0), findSize_.Integer(1));
        while (next < lookups.size() && key(lookups[next].identity) < entry) {
            ++next;  // no entry for it
        }
        if (next < lookups.size() && key(lookups[next].identity) == entry) {
            lookups[next].found = Take(findSize_, lookups[next].identity, size);
            ++next;
        } else {
            ++passed;
        }
    }
    findSize_.Reset();
    if (result != SQLITE_ROW && result != SQLITE_DONE) {
        Failed(result, "read");
        usable_ = false;
        return;
    }
    if (passed > passable) {
        for (; next < lookups.size(); ++next) {
            lookups[next].found = Find(lookups[next].identity, size);
        }
    }
}

bool HashCache::BeginReading() {
    if (!usable_ || empty_) {
        return false;
    }
    // One read transaction for a run of lookups: a lookup on its own would take and drop the
    // file's locks each time.
    if (!reading_) {
        reading_ = db_.Execute("BEGIN") == SQLITE_OK;
    }
    return true;
}

std::optional<CachedDigests> HashCache::Take(SqliteStatement& entry, const FileIdentity& identity,
                                             std::uint64_t size) {
    if (entry.Integer(2) != identity.modifiedNs || entry.Integer(3) != identity.changedNs) {
        return std::nullopt;
    }
    CachedDigests digests;
    digests.first.digest.crc = static_cast<std::uint32_t>(entry.Integer(4));
    digests.first.digest.strong = {Unsigned(entry.Integer(5)), Unsigned(entry.Integer(6))};
    digests.first.lastBlockCrc = static_cast<std::uint32_t>(entry.Integer(7));
    digests.first.complete = entry.Integer(8) != 0;
    if (digests.first.complete) {
        digests.whole = digests.first.digest;
    } else if (!entry.IsNull(9)) {
        digests.whole = ContentDigest{static_cast<std::uint32_t>(entry.Integer(9)),
                                      {Unsigned(entry.Integer(10)), Unsigned(entry.Integer(11))}};
    }
    // Marked seen once a day at most, so that a repeat search writes nothing.
    if (entry.Integer(12) < today_ && writable_) {
        writer_->Push({DigestWriter::Write::Kind::Seen, identity, size, {}, {}});
    }
    return digests;
}

void HashCache::StoreFirstBlock(const FileIdentity& identity, std::uint64_t size,
                                const FirstBlock& first) {
    if (!writable_) {
        return;
    }
    writer_->Push({DigestWriter::Write::Kind::First, identity, size, first, {}});
}

void HashCache::StoreWhole(const FileIdentity& identity, std::uint64_t size,
                           const ContentDigest& whole) {
    if (!writable_) {
        return;
    }
    writer_->Push({DigestWriter::Write::Kind::Whole, identity, size, {}, whole});
}

void HashCache::EndReading() {
    if (reading_) {
        db_.Execute("COMMIT");
        reading_ = false;
    }
}

void HashCache::Drain() {
    if (const int result = writer_->Drain(); result != SQLITE_OK) {
        Failed(result, "written");
    }
    empty_ = false;
}

void HashCache::EndSearch(bool completed) {
    EndReading();
    Drain();
    if (completed && writable_) {
        Prune();
    }
    if (damaged_) {
        find_ = SqliteStatement();
        writer_.reset();
        db_.Close();
        if (const std::optional<std::string> kept = SetAsideWithLog(path_, now_)) {
            notice_ = "The hash cache " + path_ + " was found damaged; it was kept as " + *kept +
                      " and the next search starts a new one.";
        }
    }
}

// Files not seen for long are forgotten, once a day at most.
void HashCache::Prune() {
    SqliteDatabase& db = writer_->db();
    int result = SQLITE_OK;
    SqliteStatement last(db, "SELECT value FROM facts WHERE name = 'pruned_day'", result);
    if (!last.valid() || ((result = last.Step()) == SQLITE_ROW && last.Integer(0) >= today_)) {
        return;
    }
    last.Reset();
    SqliteTransaction transaction(db);
    SqliteStatement prune(db, "DELETE FROM digests WHERE seen_day < ?1", result);
    SqliteStatement mark(db, "INSERT OR REPLACE INTO facts VALUES ('pruned_day', ?1)", result);
    if ((result = transaction.began()) != SQLITE_OK || !prune.valid() || !mark.valid()) {
        return;
    }
    prune.Bind(1, today_ - kForgetAfterDays);
    mark.Bind(1, today_);
    if ((result = prune.Step()) == SQLITE_DONE && (result = mark.Step()) == SQLITE_DONE) {
        result = transaction.Commit();
    }
    if (result != SQLITE_OK) {
        Failed(result, "written");
    }
}

bool HashCache::Clear() {
    EndReading();
    Drain();
    if (!usable_ || db_.Execute("DELETE FROM digests") != SQLITE_OK) {
        return false;
    }
    db_.Execute("VACUUM");  // gives the space back; fails harmlessly while another search reads
    return true;
}

std::string HashCache::TakeNotice() {
    std::string notice;
    notice.swap(notice_);
    return notice;
}

void HashCache::Failed(int result, const char* doing) {
    if (IsDamage(result)) {
        damaged_ = true;
        usable_ = writable_ = false;
        notice_ = "The hash cache " + path_ + " is damaged; this search went on without it.";
        return;
    }
    writable_ = false;
    if (result == SQLITE_BUSY || result == SQLITE_LOCKED) {
        usable_ = false;
    }
    if (notice_.empty()) {
        notice_ = "The hash cache " + path_ + " could not be " + doing + " (" +
                  sqlite3_errstr(result) + "); this search's new hashes were not kept.";
    }
}

std::string DefaultHashCachePath() {
    const std::string folder = XdgFolder("XDG_CACHE_HOME", ".cache");
    return folder.empty() ? std::string() : folder + "/krelix/hashes.sqlite";
}

}  // namespace krelix
