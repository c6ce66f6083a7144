#pragma once

#include <chrono>
#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>

#include "storage/sqlite_database.h"

namespace krelix {

// What one of the program's database files is, for its opening and the user's messages.
struct DatabaseKind {
    std::string name;               // "The hash cache"
    std::string without;            // what follows when it cannot be used: "searching without it"
    std::int64_t format = 1;        // the newest format this program writes (user_version)
    const char* schema = nullptr;   // made in one transaction in a file of an older format
    const char* pragmas = nullptr;  // run at every opening
    int extraFlags = 0;             // SQLITE_OPEN_NOMUTEX for a connection of one thread
    bool fullCheck = false;         // PRAGMA quick_check at every opening
};

// Takes the opened database on each attempt and builds what uses it: false, with result, when
// the attempt failed (SQLITE_CORRUPT when the tables are not what this version writes).
using DatabaseUser = std::function<bool(SqliteDatabase&& db, int& result)>;

// Opens the database at path for `use`: makes its folders private, waits out another program's
// lock for busyTimeout, and makes the schema in a file of an older format. A damaged file is set
// aside with its log (setAside says where) and a new one started. A file of a newer format is
// left as it is, for the newer program, and not used. False, with the reason in notice, when
// nothing can be used.
bool OpenDatabase(const std::string& path, const DatabaseKind& kind, std::time_t now,
                  std::chrono::milliseconds busyTimeout, const DatabaseUser& use,
                  std::string& notice, std::optional<std::string>& setAside);

}  // namespace krelix
