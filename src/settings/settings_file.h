#pragma once

#include <string>

namespace krelix {

class FileTypeCatalogue;

// Reads settings.dat at path into the catalogue, replacing what it held. False, with the
// catalogue empty, when the file is missing, empty, not a regular file (a FIFO is never
// opened for reading), larger than kMaxSettingsSize or not a valid catalogue. UI thread.
bool LoadSettings(const std::string& path, FileTypeCatalogue& catalogue);

// Writes the catalogue (without check marks) to path. The whole file is built in memory, then
// written to a temporary file beside it, flushed to disk and renamed over path, so a failure at
// any point leaves the old file as it was. A settings.dat without write permission is left
// alone; a symbolic link keeps pointing where it did and its target is replaced. A missing
// folder is created (mode 0700, as for a per-user configuration folder). False on any failure;
// nothing is reported to the user.
bool SaveSettings(const std::string& path, const FileTypeCatalogue& catalogue);

}  // namespace krelix
