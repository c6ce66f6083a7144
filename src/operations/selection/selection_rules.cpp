#include "operations/selection/selection_rules.h"

namespace krelix {

const CFileItem* KeeperOf(std::span<const CFileItem* const> members, SelectRule rule,
                          const ProtectedFolders& protectedFolders) {
    const CFileItem* keeper = nullptr;
    bool keeperProtected = false;
    for (const CFileItem* member : members) {
        if (member == nullptr || member->deleted != 0) {
            continue;
        }
        const bool memberProtected = protectedFolders.Covers(*member);
        if (keeper == nullptr || (memberProtected && !keeperProtected)) {
            keeper = member;
            keeperProtected = memberProtected;
            continue;
        }
        if (keeperProtected && !memberProtected) {
            continue;
        }
        // A tie leaves the earlier member as keeper.
        const bool replaces = rule == SelectRule::SelectOldest
                                  ? member->modified > keeper->modified
                                  : member->modified < keeper->modified;
        if (replaces) {
            keeper = member;
        }
    }
    return keeper;
}

bool RuleChecks(const CFileItem& member, const CFileItem* keeper,
                const ProtectedFolders& protectedFolders) {
    return &member != keeper && member.deleted == 0 && !protectedFolders.Covers(member);
}

}  // namespace krelix
