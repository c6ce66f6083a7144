#include "storage/database_opening.h"

#include <sys/stat.h>
#include <unistd.h>

#include "storage/database_file.h"

namespace krelix {
namespace {

std::string Unusable(const DatabaseKind& kind, const std::string& path, const std::string& why) {
    return kind.name + " " + path + " " + why + "; " + kind.without + ".";
}

// A file that is there but no regular file, or not ours to write, needs no more tries.
bool CheckFile(const std::string& path, const DatabaseKind& kind, std::string& notice) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
        return true;
    }
    if (!S_ISREG(status.st_mode)) {
        notice = Unusable(kind, path, "is not a regular file");
    } else if (::access(path.c_str(), R_OK | W_OK) != 0) {
        notice = Unusable(kind, path, "cannot be written");
    }
    return notice.empty();
}

int MakeSchema(SqliteDatabase& db, const DatabaseKind& kind) {
    SqliteTransaction transaction(db);
    int result = transaction.began();
    if (result == SQLITE_OK && (result = db.Execute(kind.schema)) == SQLITE_OK) {
        result = transaction.Commit();
    }
    return result;
}

// A file whose pages are damaged may still open; a full look finds it now, not later.
int QuickCheck(SqliteDatabase& db) {
    int result = SQLITE_OK;
    SqliteStatement check(db, "PRAGMA quick_check", result);
    if (result == SQLITE_OK && (result = check.Step()) == SQLITE_ROW) {
        const std::span<const unsigned char> answer = check.Blob(0);
        result = std::string(answer.begin(), answer.end()) == "ok" ? SQLITE_OK : SQLITE_CORRUPT;
    }
    return result;
}

// One attempt: true, or false with either a notice (a reason that needs no more) or the result
// code that made it fail.
bool OpenOnce(const std::string& path, const DatabaseKind& kind,
              std::chrono::milliseconds busyTimeout, const DatabaseUser& use, int& result,
              std::string& notice) {
    if (!CheckFile(path, kind, notice)) {
        return false;
    }
    std::string error;
    std::optional<SqliteDatabase> db = SqliteDatabase::Open(
        path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOFOLLOW | kind.extraFlags,
        result, error);
    if (!db) {
        notice = Unusable(kind, path, "cannot be opened (" + error + ")");
        return false;
    }
    sqlite3_busy_timeout(db->get(), static_cast<int>(busyTimeout.count()));
    const std::int64_t format = db->UserVersion(result);
    if (result == SQLITE_OK && format > kind.format) {
        notice = Unusable(kind, path, "was written by a newer version of Krelix");
        return false;
    }
    if (result == SQLITE_OK && kind.pragmas != nullptr) {
        result = db->Execute(kind.pragmas);
    }
    if (result == SQLITE_OK && format < kind.format) {
        result = MakeSchema(*db, kind);
    }
    if (result == SQLITE_OK && kind.fullCheck) {
        result = QuickCheck(*db);
    }
    return result == SQLITE_OK && use(std::move(*db), result);
}

std::string FailureText(int result) {
    if (result == SQLITE_BUSY || result == SQLITE_LOCKED) {
        return "is locked by another program";
    }
    if (result == SQLITE_READONLY) {
        return "cannot be written";
    }
    return std::string("cannot be used (") + sqlite3_errstr(result) + ")";
}

}  // namespace

bool OpenDatabase(const std::string& path, const DatabaseKind& kind, std::time_t now,
                  std::chrono::milliseconds busyTimeout, const DatabaseUser& use,
                  std::string& notice, std::optional<std::string>& setAside) {
    notice.clear();
    setAside.reset();
    if (!MakePrivateFolders(path)) {
        notice = Unusable(kind, path, "cannot be created");
        return false;
    }
    int result = SQLITE_OK;
    const auto attempt = [&] { return OpenOnce(path, kind, busyTimeout, use, result, notice); };
    if (OpenWhileLocked(attempt, busyTimeout, result, notice)) {
        return true;
    }
    if (!notice.empty()) {
        return false;
    }
    if (IsDamage(result)) {
        setAside = SetAsideWithLog(path, now);
        if (!setAside) {
            notice = Unusable(kind, path, "is damaged and cannot be set aside");
            return false;
        }
        if (attempt()) {
            return true;
        }
        if (!notice.empty()) {
            return false;
        }
    }
    notice = Unusable(kind, path, FailureText(result));
    return false;
}

}  // namespace krelix
