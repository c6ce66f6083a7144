#pragma once

#include <boost/unordered_set.hpp>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "engine/progress_sink.h"
#include "engine/skip_rule.h"
#include "platform/dir_entry.h"

namespace krelix {

class NameMatcher;

// What to search. The main window owns one, resets and fills it for every search; the engine
// only reads it, except for the fields it writes (filesScanned and the notes below it).
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
    // Written by the engine, so that a run that found little can say why: the start folders a
    // folder rule kept out, and the files and folders left out because they could not be opened
    // or read (not those that vanished or changed during the run).
    std::vector<SkippedStartFolder> skippedStartFolders;
    std::int32_t unreadableFiles = 0;
    std::int32_t unreadableFolders = 0;
    // When set, the engine lists their paths in unreadablePaths (folders end with "/").
    bool listUnreadable = false;
    std::vector<std::string> unreadablePaths;

    void ResetRequest();

    // True when a file rule removes the entry: its attributes, its size, then the patterns
    // (prepared from this request's pattern sets by matcher).
    bool IsFileSkipped(const DirEntry& entry, const NameMatcher& matcher) const;
};

}  // namespace krelix
