#pragma once

#include <boost/unordered_map.hpp>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "engine/file_item.h"

namespace krelix {

using ScanResults = boost::unordered_multimap<std::string, CFileItem>;

enum class OutputFormat { Paths, Csv };

// Writes every group of two or more files and returns the number of files written. Groups and
// their members are sorted by path bytes so that equal trees give equal output. Paths: each
// file's path on its own line, an empty line after each group. Csv: one line per file, fields
// group key, name, path, size, modified time, CR LF line ends.
std::size_t WriteDuplicateGroups(const ScanResults& results, OutputFormat format,
                                 std::ostream& out);

// A CSV field, quoted (quotes doubled) only when it holds a comma, quote, CR or LF.
std::string CsvField(std::string_view text);

// Local time in the long form of the current locale, e.g. "Tuesday, March 14, 1995 12:41:29".
std::string ModifiedTimeText(std::int64_t seconds);

}  // namespace krelix
