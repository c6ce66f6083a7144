#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/digest_cache.h"
#include "storage/sqlite_database.h"

namespace krelix {

// Writes a search's new digests on a thread of its own, over a connection of its own, in
// batches of one transaction each, so that a first search does not wait for its writes while it
// still has files to read. After a failed write the rest is dropped.
class DigestWriter {
  public:
    struct Write {
        enum class Kind : std::uint8_t { First, Whole, Seen } kind;
        FileIdentity identity;
        std::uint64_t size;
        FirstBlock first;
        ContentDigest whole;
    };

    // Nothing, with SQLite's result code, when the second connection cannot be made.
    static std::unique_ptr<DigestWriter> Open(const std::string& path, int busyTimeoutMs,
                                              std::int64_t today, int& result);
    // Writes what is still queued.
    ~DigestWriter();
    DigestWriter(const DigestWriter&) = delete;
    DigestWriter& operator=(const DigestWriter&) = delete;

    // Queues a write; waits while the thread is far behind. Any thread may push; Drain comes
    // after the last push.
    void Push(const Write& write);
    // Waits until everything pushed is written or dropped; the first failure's result code,
    // SQLITE_OK when there was none.
    int Drain();
    // The connection, for work between searches: only after Drain.
    SqliteDatabase& db() { return db_; }

  private:
    DigestWriter(SqliteDatabase db, std::int64_t today);
    bool Prepare();
    void Loop();
    int WriteBatch(const std::vector<Write>& batch);

    SqliteDatabase db_;
    std::int64_t today_;
    SqliteStatement insert_, whole_, seen_;
    std::mutex mutex_;
    std::condition_variable wake_;  // the thread: a batch is ready, or drain
    std::condition_variable room_;  // Push and Drain: the queue shrank
    std::vector<Write> queue_;
    bool draining_ = false;
    bool busy_ = false;  // the thread is writing a batch
    int failure_ = SQLITE_OK;
    std::thread thread_;  // started by the first Push
};

}  // namespace krelix
