#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/search_flags.h"
#include "engine/search_request.h"

namespace krelix {

// What the command line asked for, before any folder is looked at.
struct ScanOptions {
    std::vector<std::string> folders;
    std::vector<std::string> excludeFolders;
    std::vector<std::string> includePatterns;
    std::vector<std::string> excludePatterns;
    std::optional<std::uint64_t> minSize;
    std::optional<std::uint64_t> maxSize;
    std::uint32_t flags = DEFAULT_SEARCH_FLAGS;
    bool csv = false;
    bool null = false;      // paths end with NUL, groups with one more NUL
    bool progress = false;  // a progress line on standard error, when it is a terminal
    bool verbose = false;   // the summary lists what could not be read
    bool noCache = false;   // read every file, neither using nor filling the hash cache
    std::optional<std::string> cacheFile;  // instead of the user's hash cache
    bool help = false;
    bool json = false;      // one JSON document of the groups
    bool version = false;   // print the version and stop
    bool hardlink = false;  // replace duplicates by hard links to the kept file of each group
    bool reflink = false;   // replace duplicates by clones of it
    bool dryRun = false;    // say what replacing would do, change nothing
    std::vector<std::string> protectFolders;  // files below are kept, never replaced
    bool noUndo = false;                      // replace even when no journal can be written
    bool undo = false;  // reverse the newest command in the journal instead of scanning
};

struct ParsedArguments {
    std::optional<ScanOptions> options;  // empty when the arguments are bad
    std::string error;                   // why, when they are
};

extern const char* const kScanUsage;

// Arguments without the program name. Options may come before, between or after the folders;
// "--" ends them; "--name=value" and "--name value" are both accepted. A minimum size above the
// maximum is refused, as the window refuses it: such a search could find nothing.
ParsedArguments ParseScanArguments(const std::vector<std::string>& args);

// A folder argument as the walk needs it: absolute, lexically normal, ending with "/". Empty,
// with the reason in error, when it does not name an existing folder.
std::optional<std::string> NormaliseFolder(const std::string& text, std::string& error);

// Resets the request and fills it from the options; false, with the reason in error, when a
// folder argument is unusable.
bool FillRequest(const ScanOptions& options, SearchRequest& request, std::string& error);

}  // namespace krelix
