#include "cache/digest_writer.h"

#include "storage/database_file.h"

namespace krelix {
namespace {

constexpr std::size_t kBatch = 4096;
constexpr std::size_t kMostQueued = 4 * kBatch;

}  // namespace

std::unique_ptr<DigestWriter> DigestWriter::Open(const std::string& path, int busyTimeoutMs,
                                                 std::int64_t today, int& result) {
    std::string error;
    std::optional<SqliteDatabase> db = SqliteDatabase::Open(
        path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW | SQLITE_OPEN_NOMUTEX, result, error);
    if (!db) {
        return nullptr;
    }
    sqlite3_busy_timeout(db->get(), busyTimeoutMs);
    // Durability is each connection's own: without this every batch waited for the disk, and a
    // lost last batch only costs a re-read.
    db->Execute("PRAGMA synchronous = NORMAL");
    std::unique_ptr<DigestWriter> writer(new DigestWriter(std::move(*db), today));
    if (!writer->Prepare()) {
        result = SQLITE_CORRUPT;
        return nullptr;
    }
    result = SQLITE_OK;
    return writer;
}

DigestWriter::DigestWriter(SqliteDatabase db, std::int64_t today)
    : db_(std::move(db)), today_(today) {}

DigestWriter::~DigestWriter() {
    Drain();
}

bool DigestWriter::Prepare() {
    int result = SQLITE_OK;
    insert_ = SqliteStatement(db_,
                              "INSERT OR REPLACE INTO digests (device, inode, size, modified_ns, "
                              "changed_ns, first_crc, first_low, first_high, last_block_crc, "
                              "complete, whole_crc, whole_low, whole_high, seen_day) VALUES (?1, "
                              "?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14)",
                              result);
    whole_ = SqliteStatement(db_,
                             "UPDATE digests SET whole_crc = ?6, whole_low = ?7, whole_high = ?8 "
                             "WHERE size = ?3 AND device = ?1 AND inode = ?2 AND modified_ns = ?4 "
                             "AND changed_ns = ?5",
                             result);
    seen_ = SqliteStatement(db_,
                            "UPDATE digests SET seen_day = ?6 WHERE size = ?3 AND device = ?1 AND "
                            "inode = ?2 AND modified_ns = ?4 AND changed_ns = ?5",
                            result);
    return insert_.valid() && whole_.valid() && seen_.valid();
}

void DigestWriter::Push(const Write& write) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (failure_ != SQLITE_OK) {
        return;
    }
    room_.wait(lock, [this] { return queue_.size() < kMostQueued; });
    queue_.push_back(write);
    if (!thread_.joinable()) {
        thread_ = std::thread(&DigestWriter::Loop, this);
    }
    if (queue_.size() >= kBatch) {
        wake_.notify_one();
    }
}

int DigestWriter::Drain() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!thread_.joinable()) {
        return failure_;
    }
    draining_ = true;
    wake_.notify_one();
    lock.unlock();
    thread_.join();
    lock.lock();
    draining_ = false;
    return failure_;
}

void DigestWriter::Loop() {
    std::vector<Write> batch;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return queue_.size() >= kBatch || draining_; });
        if (queue_.empty()) {
            return;  // drained
        }
        batch.swap(queue_);
        room_.notify_all();
        const bool failedBefore = failure_ != SQLITE_OK;
        lock.unlock();
        const int result = failedBefore ? SQLITE_OK : WriteBatch(batch);
        batch.clear();
        lock.lock();
        if (result != SQLITE_OK && failure_ == SQLITE_OK) {
            failure_ = result;
            queue_.clear();
        }
    }
}

int DigestWriter::WriteBatch(const std::vector<Write>& batch) {
    SqliteTransaction transaction(db_);
    int result = transaction.began();
    for (const Write& write : batch) {
        if (result != SQLITE_OK) {
            return result;
        }
        SqliteStatement& statement = write.kind == Write::Kind::First   ? insert_
                                     : write.kind == Write::Kind::Whole ? whole_
                                                                        : seen_;
        statement.Bind(1, Signed(write.identity.device));
        statement.Bind(2, Signed(write.identity.inode));
        statement.Bind(3, Signed(write.size));
        statement.Bind(4, write.identity.modifiedNs);
        statement.Bind(5, write.identity.changedNs);
        if (write.kind == Write::Kind::Seen) {
            statement.Bind(6, today_);
        } else if (write.kind == Write::Kind::First) {
            const FirstBlock& first = write.first;
            statement.Bind(6, first.digest.crc);
            statement.Bind(7, Signed(first.digest.strong.low));
            statement.Bind(8, Signed(first.digest.strong.high));
            statement.Bind(9, first.lastBlockCrc);
            statement.Bind(10, first.complete ? 1 : 0);
            // A file read whole by the first stage has no other whole digest to keep.
            statement.BindNull(11);
            statement.BindNull(12);
            statement.BindNull(13);
            statement.Bind(14, today_);
        } else {
            statement.Bind(6, write.whole.crc);
            statement.Bind(7, Signed(write.whole.strong.low));
            statement.Bind(8, Signed(write.whole.strong.high));
        }
        result = statement.Step();
        statement.Reset();
        if (result == SQLITE_DONE) {
            result = SQLITE_OK;
        }
    }
    return result == SQLITE_OK ? transaction.Commit() : result;
}

}  // namespace krelix
