#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_identity.h"

namespace krelix {

// One recorded file. A value: copied whole into maps, to workers and into the window's result
// copy. Paths and names are the file system's bytes, never re-encoded. A million of these can
// be listed at once, so the name and the CRC text are read from the path and the group key
// rather than kept twice.
struct CFileItem {
    std::string path;      // walked folder (with trailing "/") followed by the file name
    std::string groupKey;  // decimal size followed by the CRC text; empty until hashed
    std::int32_t rowIndex = 0;
    std::int32_t deleted = 0;  // 1 once the file is no longer at path
    std::uint64_t size = 0;
    std::int64_t created = 0;  // seconds since 1970-01-01 00:00 UTC
    std::int64_t modified = 0;
    std::int64_t accessed = 0;
    // As the walk saw the file; commands act only on a file that still matches it.
    FileIdentity identity;

    CFileItem();  // reset state: empty texts, zero numbers, the three times set to now

    // The file name as stored: what follows the path's last '/'. Valid while path is unchanged.
    std::string_view name() const;
    // 8 upper-case hex digits, the part of the group key after the size; empty until hashed.
    std::string_view crc() const;
};

}  // namespace krelix
