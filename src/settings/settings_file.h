#pragma once

#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace krelix {

class FileTypeCatalogue;

enum class SettingsLoad {
    Loaded,
    Absent,      // missing (or a dangling link) or empty: nothing there to lose
    Unreadable,  // there, but not a regular file (a FIFO is never opened for reading),
                 // unreadable, larger than kMaxSettingsSize or not a valid catalogue
};

// The bytes of a small configuration file: nothing when it is missing, not a regular file (a FIFO
// is never waited for), unreadable, empty or larger than kMaxSettingsSize.
std::optional<std::string> ReadConfigurationFile(const std::string& path);

// Replaces the file at path by bytes as SaveSettings does (temporary file, flush, rename; a file
// without write permission left alone; a missing folder created with mode 0700).
bool ReplaceConfigurationFile(const std::filesystem::path& path, std::string_view bytes);

// Reads settings.dat at path into the catalogue, replacing what it held; the catalogue is left
// empty unless the result is Loaded. UI thread.
SettingsLoad LoadSettings(const std::string& path, FileTypeCatalogue& catalogue);

// Renames an unreadable settings file out of the way so that a later save cannot destroy it:
// to "<path>.unreadable-YYYYMMDD-HHMMSS" (now, local time), with "-2", "-3"... added when that
// name is taken. Never replaces an existing file. The new path, or nothing when it could not be
// renamed (the file is then where it was).
std::optional<std::string> SetAsideSettings(const std::string& path, std::time_t now);

// Writes the catalogue (without check marks) to path. The whole file is built in memory, then
// written to a temporary file beside it, flushed to disk and renamed over path, so a failure at
// any point leaves the old file as it was. A settings.dat without write permission is left
// alone; a symbolic link keeps pointing where it did and its target is replaced. A missing
// folder is created (mode 0700, as for a per-user configuration folder). False on any failure;
// nothing is reported to the user.
bool SaveSettings(const std::string& path, const FileTypeCatalogue& catalogue);

}  // namespace krelix
