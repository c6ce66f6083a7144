#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <chrono>
#include <ctime>
#include <memory>
#include <string>

#include "cache/hash_cache.h"
#include "support/temp_tree.h"

namespace krelix::test {

inline constexpr std::time_t kDay = 86400;
inline constexpr std::time_t kSomeDay = 20'000 * kDay;

inline FileIdentity IdentityOfPath(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(0, ::stat(path.c_str(), &status)) << path;
    return IdentityOf(status);
}

inline FirstBlock CompleteFirstBlock(std::uint32_t crc, std::uint64_t low) {
    return FirstBlock{{crc, {low, ~low}}, 0, true};
}

// How many files the cache at path knows, read with a connection of its own.
inline std::uint64_t EntriesIn(const std::string& path) {
    sqlite3* db = nullptr;
    EXPECT_EQ(SQLITE_OK, sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr));
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "SELECT count(*) FROM digests", -1, &statement, nullptr);
    std::uint64_t count = 0;
    if (sqlite3_step(statement) == SQLITE_ROW) {
        count = static_cast<std::uint64_t>(sqlite3_column_int64(statement, 0));
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return count;
}

// A cache file of its own in a fresh folder.
class CacheTest : public ::testing::Test {
  protected:
    std::unique_ptr<HashCache> Open(
        std::time_t now = kSomeDay,
        std::chrono::milliseconds busyTimeout = std::chrono::seconds(3)) {
        notice.clear();
        return HashCache::Open(path, now, notice, busyTimeout);
    }

    TempTree folder;
    std::string path = folder.Path("cache/krelix/hashes.sqlite");
    std::string notice;
};

}  // namespace krelix::test
