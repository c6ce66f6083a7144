#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

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

// The folders up to the file at path, made private to the user where this creates them.
bool MakePrivateFolders(const std::string& path);

// Sets a damaged database file aside (see SetAside) with its write-ahead log and shared memory,
// so that a new file never takes over another file's log. Where it went, or nothing.
std::optional<std::string> SetAsideWithLog(const std::string& path, std::time_t now);

}  // namespace krelix
