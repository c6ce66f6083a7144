#pragma once

#include <span>

#include "engine/file_item.h"

namespace krelix {

// The two rules that check all but one copy of each duplicate group.
enum class SelectRule {
    SelectOldest,  // "Select Oldest in each group": the newest copy stays unchecked
    SelectNewest,  // "Select Newest in each group": the oldest copy stays unchecked
};

// The member of one group, given in stored order, that the rule leaves unchecked: the newest
// (SelectOldest) or oldest (SelectNewest) member that is not deleted, the first in stored order
// among equal times. Null when every member is deleted or there are none. Every other member
// that is not deleted is the one the rule checks.
const CFileItem* KeeperOf(std::span<const CFileItem* const> members, SelectRule rule);

}  // namespace krelix
