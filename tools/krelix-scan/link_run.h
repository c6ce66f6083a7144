#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <ostream>

#include "engine/result_map.h"
#include "operations/links/link_replacement.h"
#include "operations/selection/protected_folders.h"

namespace krelix {

class JournalRecorder;

struct LinkRunTotals {
    std::size_t replaced = 0;     // or, in a dry run, that would be
    std::uint64_t reclaimed = 0;  // bytes
    std::size_t failures = 0;     // files left alone for a reason
    bool journalFailed = false;   // the run stopped as the journal could not be written
};

// Keeps one file of each duplicate group and replaces the others by hard links to it or clones
// of it (ReplaceWithLink, with all its checks). The kept file is the group's first in output
// order (path bytes), or its first in a protected folder; files in protected folders are never
// replaced. A group whose kept file fails is left alone from there on. Each action and failure
// is written as a line to log. stop is asked before each file; true ends the run there. Each
// replacement is written to journal, when given, so that it can be undone; where that fails,
// the run stops before the file is touched.
LinkRunTotals ReplaceDuplicates(const ResultMap& results, LinkKind kind, LinkRun run,
                                const ProtectedFolders& protectedFolders, std::ostream& log,
                                const std::function<bool()>& stop = {},
                                JournalRecorder* journal = nullptr);

// "Files replaced: N , bytes reclaimed: B , failures: F" ("Files to replace", "bytes to
// reclaim" in a dry run).
void WriteLinkSummary(const LinkRunTotals& totals, LinkRun run, std::ostream& out);

}  // namespace krelix
