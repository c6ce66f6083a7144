#include "engine/search_request.h"

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
}

}  // namespace krelix
