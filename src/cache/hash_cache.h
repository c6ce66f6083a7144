#pragma once

#include <chrono>
#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cache/digest_writer.h"
#include "engine/digest_cache.h"
#include "storage/sqlite_database.h"

namespace krelix {

// The digests of earlier searches in an SQLite file, keyed by device and inode and valid while
// size, modification and status-change time agree. WAL mode and a busy timeout let two programs
// (the window and krelix-scan) use one file at once. Lookups run on the calling thread; writes
// go to a DigestWriter. Any failure in use turns into misses and dropped writes, and a notice.
// One search thread uses it.
class HashCache final : public DigestCache {
  public:
    // Opens the cache at path, creating it and its folder (mode 0700) when missing. Nothing when
    // the file cannot be used (not a regular file, not writable, locked, made by a newer version,
    // cannot be opened): notice then says why in one line. A damaged file is set aside as
    // "<path>.damaged-YYYYMMDD-HHMMSS" and a new cache started, which notice tells too. now
    // dates what this search sees. A lock held by another program is waited for up to
    // busyTimeout at each step.
    static std::unique_ptr<HashCache> Open(
        const std::string& path, std::time_t now, std::string& notice,
        std::chrono::milliseconds busyTimeout = std::chrono::seconds(3));
    ~HashCache() override;
    HashCache(const HashCache&) = delete;
    HashCache& operator=(const HashCache&) = delete;

    std::optional<CachedDigests> Find(const FileIdentity& identity, std::uint64_t size) override;
    void FindOfSize(std::uint64_t size, std::span<DigestLookup> lookups) override;
    void StoreFirstBlock(const FileIdentity& identity, std::uint64_t size,
                         const FirstBlock& first) override;
    void StoreWhole(const FileIdentity& identity, std::uint64_t size,
                    const ContentDigest& whole) override;
    void EndSearch(bool completed) override;

    // Forgets every file; false when that failed.
    bool Clear();
    // A problem met while in use (damage, a full disk, a lock), once: empty when there was none
    // or it was already taken.
    std::string TakeNotice();

  private:
    HashCache(SqliteDatabase db, std::string path, std::time_t now);
    bool Prepare(std::chrono::milliseconds busyTimeout, int& result);
    // False when lookups are not answered (a failure, or a cache that was empty).
    bool BeginReading();
    void EndReading();
    // The digests of the entry the statement stands on (kEntryColumns), when its validators
    // match the file's; marks it seen.
    std::optional<CachedDigests> Take(SqliteStatement& entry, const FileIdentity& identity,
                                      std::uint64_t size);
    void Drain();
    void Prune();
    // Notes a failed call: damage disables the cache and sets the file aside at the end, other
    // failures drop the writes of this search.
    void Failed(int result, const char* doing);

    SqliteDatabase db_;
    std::string path_;
    std::time_t now_;
    std::int64_t today_;
    SqliteStatement find_;
    SqliteStatement findSize_;
    std::unique_ptr<DigestWriter> writer_;
    bool usable_ = true;    // lookups still answered
    bool writable_ = true;  // writes still kept
    bool damaged_ = false;
    bool reading_ = false;  // a read transaction is open
    bool empty_ = false;    // held no file when opened
    std::string notice_;
};

// $XDG_CACHE_HOME/krelix/hashes.sqlite, ~/.cache/... when that is unset; empty when no home
// folder is known.
std::string DefaultHashCachePath();

}  // namespace krelix
