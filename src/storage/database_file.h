#pragma once

#include <sqlite3.h>

#include <chrono>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <thread>

namespace krelix {

// SQLite keeps signed 64-bit integers; unsigned values go in by their bits.
inline std::int64_t Signed(std::uint64_t value) {
    return static_cast<std::int64_t>(value);
}
inline std::uint64_t Unsigned(std::int64_t value) {
    return static_cast<std::uint64_t>(value);
}

// SQLite's answer says the file is damaged (or no database at all).
bool IsDamage(int result);

// Two programs starting at once may meet where SQLite does not wait (one of them making the
// file, or switching it to its log): open is tried again for as long as a lock is waited for,
// while it fails with nothing but a lock in result and no notice.
template <typename OpenOnce>
auto OpenWhileLocked(OpenOnce openOnce, std::chrono::milliseconds busyTimeout, const int& result,
                     const std::string& notice) {
    auto opened = openOnce();
    const auto giveUp = std::chrono::steady_clock::now() + busyTimeout;
    while (!opened && notice.empty() && (result == SQLITE_BUSY || result == SQLITE_LOCKED) &&
           std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        opened = openOnce();
    }
    return opened;
}

// The folders up to the file at path, made private to the user where this creates them.
bool MakePrivateFolders(const std::string& path);

// Sets a damaged database file aside (see SetAside) with its write-ahead log and shared memory,
// so that a new file never takes over another file's log. Where it went, or nothing.
std::optional<std::string> SetAsideWithLog(const std::string& path, std::time_t now);

}  // namespace krelix
