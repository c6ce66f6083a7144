#pragma once

#include <array>

#include "app/results/results_model.h"

namespace krelix {

using ColumnWidths = std::array<int, ResultsModel::ColumnCount>;

// Shares the list's visible width among its columns. "Dup. Group", "Size" and "Modified Time"
// get their wanted widths: short texts, useless when cut. "File Name" gets its wanted width when
// the room left holds it and the wanted "Path", else at least a third of that room; "Path" takes
// the rest, so it is the column that widens with the window (its texts elide in the middle).
// Neither goes below `narrowest`; only then do the columns overrun `available`.
ColumnWidths FitResultColumns(const ColumnWidths& wanted, int available, int narrowest);

}  // namespace krelix
