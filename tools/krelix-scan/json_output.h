#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

#include "scan_output.h"

namespace krelix {

// Writes the groups of two or more files as one JSON document, in SortedGroups' order, and
// returns the number of files written:
//   [
//     {"size": 3, "group_key": "3AAAAAAAA", "files": [
//       {"path": "/t/b1", "modified": 1700000000},
//       {"path": "/t/�", "path_bytes": "L3Qv/w==", "modified": 1700000000}
//     ]}
//   ]
// "modified" is seconds since 1970 UTC. A path that is not valid UTF-8 gets "path" for display,
// with U+FFFD for each byte that does not start a well-formed sequence, and "path_bytes", its
// exact bytes in base64 (RFC 4648 with padding); a valid path has "path" alone. The document is
// valid UTF-8 whatever the names hold.
std::size_t WriteJsonGroups(const ScanResults& results, std::ostream& out);

// A JSON string, quotes included, of well-formed UTF-8 text: quotes, backslashes, control
// characters and DEL escaped, everything else as it is.
std::string JsonString(std::string_view utf8);

}  // namespace krelix
