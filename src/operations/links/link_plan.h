#pragma once

#include <span>
#include <vector>

#include "engine/file_item.h"
#include "operations/files/file_operations.h"
#include "operations/selection/protected_folders.h"

namespace krelix {

// One duplicate group's part in replacing checked files by links.
struct LinkGroupPlan {
    // The first listed member that is unchecked, not deleted and still a copy on disk; null
    // when the group has none, and then nothing of it is replaced.
    CFileItem* kept = nullptr;
    // The checked members to replace, not deleted nor protected, in listed order.
    std::vector<CFileItem*> targets;
    // Every listed member, whose records a hard link may touch (FollowReplacement).
    std::vector<CFileItem*> members;
};

// The groups of the checked records, in the order of their first listed member. listed holds
// every row's record in row order; isCopy is asked only of members that could be kept.
std::vector<LinkGroupPlan> PlanLinkGroups(std::span<CFileItem* const> checked,
                                          std::span<CFileItem* const> listed,
                                          const ProtectedFolders& protectedFolders,
                                          const CopyCheck& isCopy = IsCopyOnDisk);

}  // namespace krelix
