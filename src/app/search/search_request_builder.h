#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/file_type_catalogue.h"

namespace krelix {

struct SearchRequest;

// The units of the size combos, by index: "B", "KB", "MB", "GB".
enum class SizeUnit { Bytes, KiloBytes, MegaBytes, GigaBytes };

// One size limit as the window holds it.
struct SizeLimit {
    bool on = false;
    std::uint64_t value = 0;  // the number typed
    int unitIndex = 0;        // the combo's index; out of range (no selection) counts as bytes
};

// What the window's criteria controls say when Search is pressed.
struct SearchCriteriaValues {
    std::vector<std::string> includeFolders;  // normalised existing folders (NormaliseFolderText)
    std::vector<std::string> excludeFolders;
    TypeFilterMode typeMode = TypeFilterMode::Include;
    SizeLimit minSize;
    SizeLimit maxSize;
    std::uint32_t searchFlags = 0;
};

// A size text as the user typed it: decimal digits, blanks around them allowed, up to the
// largest 64-bit value. Nothing for anything else (empty, signs, letters, too large).
std::optional<std::uint64_t> ParseSizeText(const QString& text);

// The limit in bytes: value times the unit's factor, as a full 64-bit product. A product
// beyond 64 bits is clamped to the largest value: no file is that large, so a maximum that
// overflows limits nothing and a minimum that overflows keeps nothing, as the true product
// would.
std::uint64_t SizeInBytes(std::uint64_t value, int unitIndex);

// True when both limits are on and the minimum in bytes is above the maximum.
bool SizeRangeIsEmpty(const SearchCriteriaValues& values);

// Resets the request and fills it: the folder sets, searchFlags, the size range with
// FILTER_SIZE_RANGE when a limit is on, and the catalogue's pattern sets for the type mode.
// Leaves completionEvent and progressWindow for the caller.
void BuildSearchRequest(const SearchCriteriaValues& values, const FileTypeCatalogue& catalogue,
                        SearchRequest& request);

}  // namespace krelix
