#pragma once

#include <boost/unordered_set.hpp>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>

#include "engine/progress_sink.h"
#include "platform/dir_entry.h"

namespace krelix {

class NameMatcher;

// What to search. The main window owns one, resets and fills it for every search; the engine
// only reads it, except for filesScanned.
struct SearchRequest {
    using TextSet = boost::unordered_set<std::string>;

    TextSet includeFolders;                  // existing folders, each ending with "/", case kept
    TextSet excludeFolders;                  // same form; a folder is excluded by exact text
    TextSet includePatterns;                 // wildcard patterns, UTF-8, lower case
    TextSet excludePatterns;                 // consulted only while includePatterns is empty
    std::function<void()> completionEvent;   // called once at the very end of a run, if set
    ProgressSink* progressWindow = nullptr;  // not owned; no notices when null
    std::uint32_t optionFlags = 0;
    std::uint64_t minSize = 0;  // both bounds inclusive; count only with FILTER_SIZE_RANGE
    std::uint64_t maxSize = std::numeric_limits<std::uint64_t>::max();
    std::int32_t filesScanned = 0;     // written by the engine
    std::int32_t duplicatesFound = 0;  // written by the search thread, not the engine

    void ResetRequest();

    // True when a file rule removes the entry: its attributes, its size, then the patterns
    // (prepared from this request's pattern sets by matcher).
    bool IsFileSkipped(const DirEntry& entry, const NameMatcher& matcher) const;
};

}  // namespace krelix
