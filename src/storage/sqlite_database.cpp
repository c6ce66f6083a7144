#include "storage/sqlite_database.h"

namespace krelix {

std::optional<SqliteDatabase> SqliteDatabase::Open(const std::string& path, int flags, int& result,
                                                   std::string& error) {
    sqlite3* db = nullptr;
    result = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
    if (result != SQLITE_OK) {
        error = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(result);
        sqlite3_close_v2(db);
        return std::nullopt;
    }
    sqlite3_extended_result_codes(db, 0);
    return SqliteDatabase(db);
}

int SqliteDatabase::Execute(const char* sql) {
    return sqlite3_exec(db_.get(), sql, nullptr, nullptr, nullptr);
}

std::string SqliteDatabase::ErrorText() const {
    return sqlite3_errmsg(db_.get());
}

std::int64_t SqliteDatabase::UserVersion(int& result) const {
    SqliteStatement version(*this, "PRAGMA user_version", result);
    if (result == SQLITE_OK && (result = version.Step()) == SQLITE_ROW) {
        result = SQLITE_OK;
        return version.Integer(0);
    }
    return 0;
}

SqliteStatement::SqliteStatement(const SqliteDatabase& db, const char* sql, int& result) {
    sqlite3_stmt* statement = nullptr;
    result = sqlite3_prepare_v3(db.get(), sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr);
    statement_.reset(result == SQLITE_OK ? statement : nullptr);
}

void SqliteStatement::Bind(int index, std::int64_t value) {
    sqlite3_bind_int64(statement_.get(), index, value);
}

void SqliteStatement::Bind(int index, std::span<const unsigned char> bytes) {
    sqlite3_bind_blob(statement_.get(), index, bytes.data(), static_cast<int>(bytes.size()),
                      SQLITE_TRANSIENT);
}

void SqliteStatement::BindNull(int index) {
    sqlite3_bind_null(statement_.get(), index);
}

int SqliteStatement::Step() {
    return sqlite3_step(statement_.get());
}

void SqliteStatement::Reset() {
    sqlite3_reset(statement_.get());
    sqlite3_clear_bindings(statement_.get());
}

std::int64_t SqliteStatement::Integer(int column) const {
    return sqlite3_column_int64(statement_.get(), column);
}

std::span<const unsigned char> SqliteStatement::Blob(int column) const {
    const void* bytes = sqlite3_column_blob(statement_.get(), column);
    const int size = sqlite3_column_bytes(statement_.get(), column);
    return {static_cast<const unsigned char*>(bytes), static_cast<std::size_t>(size)};
}

bool SqliteStatement::IsNull(int column) const {
    return sqlite3_column_type(statement_.get(), column) == SQLITE_NULL;
}

SqliteTransaction::SqliteTransaction(SqliteDatabase& db)
    : db_(db), began_(db.Execute("BEGIN IMMEDIATE")), open_(began_ == SQLITE_OK) {}

SqliteTransaction::~SqliteTransaction() {
    if (open_) {
        db_.Execute("ROLLBACK");
    }
}

int SqliteTransaction::Commit() {
    const int result = db_.Execute("COMMIT");
    if (result == SQLITE_OK) {
        open_ = false;
    }
    return result;
}

}  // namespace krelix
