#include "app/commands/selection_commands.h"

#include <vector>

#include "app/results/result_set.h"
#include "app/results/results_model.h"

namespace krelix {

void ApplySelectRule(const ResultSet& results, ResultsModel& rows, SelectRule rule,
                     const ProtectedFolders& protectedFolders) {
    std::vector<char> check(static_cast<std::size_t>(rows.rowCount()), 0);
    std::vector<const CFileItem*> members;
    results.ForEachGroup([&](ResultSet::ConstMembers group) {
        members.clear();
        for (const CFileItem& member : group) {
            members.push_back(&member);
        }
        const CFileItem* keeper = KeeperOf(members, rule, protectedFolders);
        for (const CFileItem* member : members) {
            // A record is only ever checked in the row that shows it.
            if (RuleChecks(*member, keeper, protectedFolders) &&
                rows.RecordAt(member->rowIndex) == member) {
                check[static_cast<std::size_t>(member->rowIndex)] = 1;
            }
        }
    });
    rows.SetAllChecked(
        [&check](int row, bool) { return check[static_cast<std::size_t>(row)] != 0; });
}

void InvertSelection(ResultsModel& rows) {
    rows.SetAllChecked([](int, bool checked) { return !checked; });
}

void DeselectAll(ResultsModel& rows) {
    rows.SetAllChecked([](int, bool) { return false; });
}

}  // namespace krelix
