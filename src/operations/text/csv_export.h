#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "engine/file_item.h"

namespace krelix {

// Formats a modification time (seconds since 1970 UTC) as the list shows it.
using TimeTextFn = std::function<std::u16string(std::int64_t seconds)>;

// strftime "%c" in local time, at most 128 bytes; empty when the time cannot be converted.
// The window passes its own long locale format instead.
std::u16string DefaultTimeText(std::int64_t seconds);

enum class CsvExportStatus { Written, CreateFailed, WriteFailed };

// One line without its line end: group key, name, "path", "modified time". A field holding
// a comma, a double quote, CR or LF is quoted; quotes inside quoted fields are doubled. Names
// and paths that are not UTF-8 carry U+FFFD for the bad bytes.
std::u16string CsvLine(const CFileItem& item, const TimeTextFn& timeText);

// Writes one CR LF terminated line per record that is not deleted, in the order given, to a
// new or truncated UTF-8 file with a byte-order mark; no header line. Stops at the first
// failing write; the lines written before stay. A file with nothing to write stays empty.
CsvExportStatus ExportCsv(const std::string& path, std::span<const CFileItem* const> rows,
                          const TimeTextFn& timeText = DefaultTimeText);

}  // namespace krelix
