#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace krelix {

// One SQLite connection. Calls answer SQLite's result codes; nothing throws.
class SqliteDatabase {
  public:
    // Opens with sqlite3_open_v2's flags; on failure result holds the code and error the text.
    static std::optional<SqliteDatabase> Open(const std::string& path, int flags, int& result,
                                              std::string& error);

    sqlite3* get() const { return db_.get(); }
    // Closes at once (once its statements are gone); later calls fail.
    void Close() { db_.reset(); }
    // Runs statements that answer no rows.
    int Execute(const char* sql);
    std::string ErrorText() const;
    // The format number a writer of ours left in the file (0 for a new file); the result code
    // in result.
    std::int64_t UserVersion(int& result) const;

  private:
    struct Closer {
        void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
    };
    explicit SqliteDatabase(sqlite3* db) : db_(db) {}
    std::unique_ptr<sqlite3, Closer> db_;
};

// A prepared statement, reused: bind, step, then Reset before the next use.
class SqliteStatement {
  public:
    SqliteStatement() = default;
    // Empty (valid() false) when the statement cannot be prepared; result holds the code.
    SqliteStatement(const SqliteDatabase& db, const char* sql, int& result);

    bool valid() const { return statement_ != nullptr; }
    // Parameters count from 1, columns from 0.
    void Bind(int index, std::int64_t value);
    void Bind(int index, std::span<const unsigned char> bytes);
    void BindNull(int index);
    int Step();
    void Reset();
    std::int64_t Integer(int column) const;
    std::span<const unsigned char> Blob(int column) const;
    bool IsNull(int column) const;

  private:
    struct Finalizer {
        void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
    };
    std::unique_ptr<sqlite3_stmt, Finalizer> statement_;
};

// Runs BEGIN IMMEDIATE at construction and, unless Commit succeeded, ROLLBACK at the end.
class SqliteTransaction {
  public:
    explicit SqliteTransaction(SqliteDatabase& db);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;

    int began() const { return began_; }  // SQLITE_OK when the transaction is open
    int Commit();

  private:
    SqliteDatabase& db_;
    int began_;
    bool open_;
};

}  // namespace krelix
