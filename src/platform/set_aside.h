#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace krelix {

// Renames the file at path to "<path>.<why>-YYYYMMDD-HHMMSS" (now, local time), with "-2",
// "-3"... added when that name is taken, so that a file the program cannot use is kept for the
// user instead of being overwritten. Never replaces an existing file. The new path, or nothing
// when it could not be renamed (the file is then where it was).
std::optional<std::string> SetAside(const std::string& path, std::string_view why, std::time_t now);

}  // namespace krelix
