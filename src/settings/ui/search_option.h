#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace krelix {

// One check box of the search settings dialog.
struct SearchOption {
    const char* text;
    std::uint32_t flag;
    int column;       // 0 left, 1 right
    const char* tip;  // what the option does on Linux
};

inline constexpr std::size_t kSearchOptionCount = 10;

// The ten options in dialog order: the left column top to bottom, then the right one.
std::span<const SearchOption> SearchOptions();

// The word the dialog gives on OK: built from nothing, each checked option adding its bit.
// checked[i] belongs to SearchOptions()[i].
std::uint32_t FlagsFromChecks(std::span<const bool> checked);

}  // namespace krelix
