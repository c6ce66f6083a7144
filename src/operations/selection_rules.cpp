#include "operations/selection_rules.h"

namespace krelix {

const CFileItem* KeeperOf(std::span<const CFileItem* const> members, SelectRule rule) {
    const CFileItem* keeper = nullptr;
    for (const CFileItem* member : members) {
        if (member == nullptr || member->deleted != 0) {
            continue;
        }
        if (keeper == nullptr) {
            keeper = member;
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

}  // namespace krelix
