#include "app/file_commands.h"

#include <vector>

#include "app/krelix_dlg_model.h"
#include "app/mfc_list_ctrl_ex.h"
#include "app/result_removal.h"
#include "app/selection_commands.h"

namespace krelix {
namespace {

std::vector<const CFileItem*> Listed(const ResultsModel& rows) {
    const std::vector<CFileItem*> records = rows.RowRecords();
    return {records.begin(), records.end()};
}

}  // namespace

FileCommands::FileCommands(KrelixDlgModel& model, CMFCListCtrlEx& list, Prompts& prompts,
                           Trash& trash, OperationProgress& progress, RenameFn rename)
    : model_(model),
      list_(list),
      prompts_(prompts),
      operations_(prompts, trash, progress, std::move(rename)) {
    ResultSet& results = model_.results();
    ResultsModel& rows = model_.rows();
    const FileOperationCommands::Gone gone = [this](CFileItem& item) { StrikeRow(item); };

    Register(CommandId::SelectOldest,
             [&results, &rows] { ApplySelectRule(results, rows, SelectRule::SelectOldest); });
    Register(CommandId::SelectNewest,
             [&results, &rows] { ApplySelectRule(results, rows, SelectRule::SelectNewest); });
    Register(CommandId::InvertSelection, [&rows] { InvertSelection(rows); });
    Register(CommandId::DeselectAll, [&rows] { DeselectAll(rows); });

    Register(CommandId::RecycleChecked, [this, &rows, gone] {
        operations_.RecycleChecked(rows.CheckedRecords(), Listed(rows), gone);
    });
    Register(CommandId::RecycleSelected, [this, &rows, gone] {
        operations_.RecycleSelected(list_.SelectedRecord(), Listed(rows), gone);
    });
    Register(CommandId::DeleteCheckedPermanently, [this, &rows, gone] {
        operations_.DeleteChecked(rows.CheckedRecords(), Listed(rows), gone);
    });
    Register(CommandId::DeleteSelectedPermanently, [this, &rows, gone] {
        operations_.DeleteSelected(list_.SelectedRecord(), Listed(rows), gone);
    });
    Register(CommandId::MoveChecked, [this, &rows, gone] {
        operations_.MoveChecked(rows.CheckedRecords(), Listed(rows), gone);
    });
    Register(CommandId::CopyChecked,
             [this, &rows] { operations_.CopyChecked(rows.CheckedRecords()); });

    Register(CommandId::RemoveCheckedFiles,
             [&results, &rows] { RemoveCheckedFiles(results, rows); });
    Register(CommandId::RemoveSelectedFile, [this, &results, &rows] {
        RemoveSelectedFile(results, rows, list_.FirstSelectedRow());
    });
    Register(CommandId::RemoveDeletedFiles,
             [&results, &rows] { RemoveDeletedFiles(results, rows); });
    Register(CommandId::ClearResults,
             [this, &results, &rows] { ClearResults(results, rows, prompts_); });
}

FileCommands::~FileCommands() {
    for (const CommandId id : registered_) {
        model_.SetCommandHandler(id, {});
    }
}

void FileCommands::Register(CommandId id, std::function<void()> command) {
    model_.SetCommandHandler(id, [this, command = std::move(command)] {
        if (busy_) {
            return;
        }
        busy_ = true;
        command();
        busy_ = false;
    });
    registered_.push_back(id);
}

void FileCommands::StrikeRow(const CFileItem& item) {
    ResultsModel& rows = model_.rows();
    if (rows.RecordAt(item.rowIndex) == &item) {
        rows.SetRowStruck(item.rowIndex);
    }
}

}  // namespace krelix
