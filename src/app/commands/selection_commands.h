#pragma once

#include "operations/selection/selection_rules.h"

namespace krelix {

class ResultSet;
class ResultsModel;

// The "Auto Select" rules. They change check marks only, all in one change of the list.
// UI thread only.

// Clears every mark, then checks every member of every group that is not deleted except the
// one the rule keeps (see KeeperOf) and those in protected folders; groups are taken from the
// result copy in stored order, rows reached through each record's rowIndex.
void ApplySelectRule(const ResultSet& results, ResultsModel& rows, SelectRule rule,
                     const ProtectedFolders& protectedFolders = {});
// Flips every row's mark, rows of deleted files included.
void InvertSelection(ResultsModel& rows);
void DeselectAll(ResultsModel& rows);

}  // namespace krelix
