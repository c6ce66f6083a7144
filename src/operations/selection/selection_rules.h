#pragma once

#include <span>

#include "engine/file_item.h"
#include "operations/selection/protected_folders.h"

namespace krelix {

// The two rules that check all but one copy of each duplicate group.
enum class SelectRule {
    SelectOldest,  // "Select Oldest in each group": the newest copy stays unchecked
    SelectNewest,  // "Select Newest in each group": the oldest copy stays unchecked
};

// The member of one group, given in stored order, that the rule leaves unchecked: the newest
// (SelectOldest) or oldest (SelectNewest) member that is not deleted, the first in stored order
// among equal times. When some members lie in protected folders the keeper is one of them, since
// they stay unchecked anyway. Null when every member is deleted or there are none.
const CFileItem* KeeperOf(std::span<const CFileItem* const> members, SelectRule rule,
                          const ProtectedFolders& protectedFolders = {});

// Whether the rule checks the member: it is not deleted, not the keeper and not protected.
bool RuleChecks(const CFileItem& member, const CFileItem* keeper,
                const ProtectedFolders& protectedFolders = {});

}  // namespace krelix
