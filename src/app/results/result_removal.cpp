#include "app/results/result_removal.h"

#include <functional>
#include <vector>

#include "app/results/result_set.h"
#include "app/results/results_model.h"
#include "common/ui/prompts.h"

namespace krelix {
namespace {

// Rows go before their records, so that no view ever reads a destroyed record.
void RemoveWhere(ResultSet& results, ResultsModel& rows,
                 const std::function<bool(int row, const CFileItem& record)>& doomed) {
    std::vector<const CFileItem*> removed;
    rows.RemoveRowsWhere([&](int row, CFileItem& record) {
        if (!doomed(row, record)) {
            return false;
        }
        removed.push_back(&record);
        return true;
    });
    results.RemoveAll(removed);
    rows.RestripeGroups();
}

}  // namespace

void RemoveCheckedFiles(ResultSet& results, ResultsModel& rows) {
    RemoveWhere(results, rows, [&rows](int row, const CFileItem&) { return rows.IsChecked(row); });
}

void RemoveSelectedFile(ResultSet& results, ResultsModel& rows, int selectedRow) {
    RemoveWhere(results, rows,
                [selectedRow](int row, const CFileItem&) { return row == selectedRow; });
}

void RemoveDeletedFiles(ResultSet& results, ResultsModel& rows) {
    RemoveWhere(results, rows, [](int, const CFileItem& record) { return record.deleted != 0; });
}

void ClearResults(ResultSet& results, ResultsModel& rows, Prompts& prompts) {
    if (rows.rowCount() == 0) {
        return;
    }
    if (!prompts.AskOkCancel(TitleCaption(),
                             QStringLiteral("Do you want to clear the search results?"))) {
        return;
    }
    rows.Clear();
    results.Clear();
}

}  // namespace krelix
