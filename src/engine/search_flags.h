#pragma once

#include <cstdint>

namespace krelix {

// Bits of the request's option word. The ten settings bits are also the bits of the search
// settings word the user edits; FILTER_SIZE_RANGE is set by the main window only.
enum SearchFlag : std::uint32_t {
    FILTER_SIZE_RANGE = 0x1,
    SEARCH_SUBDIRS = 0x20,
    SKIP_TEMP_FILES = 0x40,
    SKIP_SYSTEM_FILES = 0x80,
    SKIP_WINDOWS_FOLDER = 0x100,
    SKIP_APP_FOLDERS = 0x200,
    SKIP_COMPRESSED_FILES = 0x400,
    SKIP_ZERO_SIZE_FILES = 0x800,
    SKIP_RECYCLE_BIN = 0x1000,
    SKIP_HIDDEN_FILES = 0x2000,
    SKIP_HIDDEN_FOLDERS = 0x4000,
};

// Every settings bit but SKIP_ZERO_SIZE_FILES.
inline constexpr std::uint32_t DEFAULT_SEARCH_FLAGS = 0x77E0;

}  // namespace krelix
