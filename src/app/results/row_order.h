#pragma once

#include <Qt>
#include <vector>

#include "engine/file_item.h"

namespace krelix {

// The columns of the results list, in the order shown.
enum class RowColumn { Group, Name, Path, Size, Time };

// The rows' order by a column's meaning: group keys by size, then by their bytes; names and paths
// as their shown texts, case folded, each path by its folder first; sizes and times as numbers.
// Equal values keep their row order. Every column becomes one integer key per row (a rank for
// texts and group keys), so the sort itself compares integers: ranks come from sorting the
// distinct texts once, each decoded and case-folded once. records[i] is row i's record.
std::vector<int> OrderRows(const std::vector<const CFileItem*>& records, RowColumn column,
                           Qt::SortOrder direction);

}  // namespace krelix
