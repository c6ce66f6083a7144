#pragma once

#include <boost/unordered_map.hpp>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/file_item.h"
#include "engine/search_request.h"

namespace krelix {

using ScanResults = boost::unordered_multimap<std::string, CFileItem>;

enum class OutputFormat { Paths, NulPaths, Csv };

// Every group of two or more files, members sorted by path bytes and groups by their first path,
// so that equal trees give equal output in every format.
std::vector<std::vector<const CFileItem*>> SortedGroups(const ScanResults& results);

// Writes every group of two or more files, as SortedGroups orders them, and returns the number of
// files written. Paths: each file's path on its own line, an empty line after each group.
// NulPaths: the same with NUL for newline, so that any name can be read back. Csv: one line per
// file, fields group key, name, path, size, modified time, CR LF line ends.
std::size_t WriteDuplicateGroups(const ScanResults& results, OutputFormat format,
                                 std::ostream& out);

// The summary of a run, for standard error: "Files scanned: %d , duplicates: %d " as the window
// shows it, then why each skipped start folder was not searched, how many files and folders could
// not be read and, when the request listed them, their paths (sorted).
void WriteScanSummary(const SearchRequest& request, std::ostream& out);

// A CSV field, quoted (quotes doubled) only when it holds a comma, quote, CR or LF.
std::string CsvField(std::string_view text);

// Local time in the long form of the current locale, e.g. "Tuesday, March 14, 1995 12:41:29".
std::string ModifiedTimeText(std::int64_t seconds);

}  // namespace krelix
