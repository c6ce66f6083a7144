#include "operations/links/link_plan.h"

#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace krelix {

std::vector<LinkGroupPlan> PlanLinkGroups(std::span<CFileItem* const> checked,
                                          std::span<CFileItem* const> listed,
                                          const ProtectedFolders& protectedFolders,
                                          const CopyCheck& isCopy) {
    const std::unordered_set<const CFileItem*> isChecked(checked.begin(), checked.end());
    std::unordered_map<std::string_view, std::size_t> planOf;
    std::vector<LinkGroupPlan> plans;
    for (CFileItem* record : checked) {
        if (record != nullptr && record->deleted == 0 && !protectedFolders.Covers(*record)) {
            planOf.emplace(record->groupKey, 0);
        }
    }
    for (CFileItem* record : listed) {
        if (record == nullptr) {
            continue;
        }
        const auto found = planOf.find(record->groupKey);
        if (found == planOf.end()) {
            continue;
        }
        if (found->second == 0) {
            plans.emplace_back();
            found->second = plans.size();  // one past, so that 0 means "not begun"
        }
        LinkGroupPlan& plan = plans[found->second - 1];
        plan.members.push_back(record);
        if (record->deleted != 0) {
            continue;
        }
        if (isChecked.count(record) != 0) {
            if (!protectedFolders.Covers(*record)) {
                plan.targets.push_back(record);
            }
        } else if (plan.kept == nullptr && isCopy(*record)) {
            plan.kept = record;
        }
    }
    return plans;
}

}  // namespace krelix
