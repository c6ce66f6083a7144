#include "app/results/results_column_widths.h"

#include <algorithm>

namespace krelix {

ColumnWidths FitResultColumns(const ColumnWidths& wanted, int available, int narrowest) {
    using C = ResultsModel::Column;
    ColumnWidths widths = wanted;
    const int room =
        available - wanted[C::GroupColumn] - wanted[C::SizeColumn] - wanted[C::TimeColumn];
    const int name =
        std::min(wanted[C::NameColumn], std::max(room - wanted[C::PathColumn], room / 3));
    widths[C::NameColumn] = std::max(name, narrowest);
    widths[C::PathColumn] = std::max(room - widths[C::NameColumn], narrowest);
    return widths;
}

}  // namespace krelix
