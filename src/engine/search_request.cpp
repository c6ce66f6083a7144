#include "engine/search_request.h"

#include "engine/name_matcher.h"
#include "engine/search_flags.h"

namespace krelix {

void SearchRequest::ResetRequest() {
    includeFolders.clear();
    excludeFolders.clear();
    includePatterns.clear();
    excludePatterns.clear();
    completionEvent = nullptr;
    optionFlags = 0;
    minSize = 0;
    maxSize = std::numeric_limits<std::uint64_t>::max();
    filesScanned = 0;
    duplicatesFound = 0;
    skippedStartFolders.clear();
    unreadableFiles = 0;
    unreadableFolders = 0;
    listUnreadable = false;
    unreadablePaths.clear();
}

bool SearchRequest::IsFileSkipped(const DirEntry& entry, const NameMatcher& matcher) const {
    const auto set = [this](std::uint32_t flag) { return (optionFlags & flag) != 0; };
    if (set(SKIP_COMPRESSED_FILES) && entry.Has(ATTRIBUTE_COMPRESSED)) {
        return true;
    }
    if (set(SKIP_TEMP_FILES) && entry.Has(ATTRIBUTE_TEMPORARY)) {
        return true;
    }
    if (set(SKIP_SYSTEM_FILES) && entry.Has(ATTRIBUTE_SYSTEM)) {
        return true;
    }
    if (set(SKIP_ZERO_SIZE_FILES) && entry.size == 0) {
        return true;
    }
    if (set(FILTER_SIZE_RANGE) && (entry.size < minSize || entry.size > maxSize)) {
        return true;
    }
    if (set(SKIP_HIDDEN_FILES) && entry.Has(ATTRIBUTE_HIDDEN)) {
        return true;
    }
    return !matcher.Keeps(entry.name);
}

}  // namespace krelix
