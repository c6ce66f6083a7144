#include "app/commands/file_commands.h"

#include <utility>
#include <vector>

#include "app/commands/selection_commands.h"
#include "app/results/mfc_list_ctrl_ex.h"
#include "app/results/result_removal.h"
#include "app/state/krelix_dlg_model.h"
#include "operations/links/link_replacement.h"

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
      operations_(prompts, trash, progress, std::move(rename)),
      replace_(prompts, progress) {
    ResultSet& results = model_.results();
    ResultsModel& rows = model_.rows();
    const ProtectedFolders& shielded = model_.protectedFolders();
    operations_.SetProtectedFolders(&shielded);
    replace_.SetProtectedFolders(&shielded);
    const FileOperationCommands::Gone gone = [this](CFileItem& item) { StrikeRow(item); };
    const ReplaceCommands::Linked linked = [this](CFileItem& item, LinkKind kind) {
        MarkLinked(item, kind);
    };

    Register(CommandId::SelectOldest, [&results, &rows, &shielded] {
        ApplySelectRule(results, rows, SelectRule::SelectOldest, shielded);
    });
    Register(CommandId::SelectNewest, [&results, &rows, &shielded] {
        ApplySelectRule(results, rows, SelectRule::SelectNewest, shielded);
    });
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
    for (const auto& [id, kind] : {std::pair{CommandId::ReplaceWithHardLinks, LinkKind::HardLink},
                                   std::pair{CommandId::ReplaceWithClones, LinkKind::Clone}}) {
        Register(id, [this, &rows, linked, gone, kind = kind] {
            replace_.ReplaceChecked(kind, rows.CheckedRecords(), rows.RowRecords(), linked, gone);
        });
    }

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
    // A file hard-linked here has other names in its group, whose records must follow it.
    std::vector<CFileItem*> group;
    for (CFileItem& member : model_.results().MembersOf(item.groupKey)) {
        group.push_back(&member);
    }
    FollowSharedFile(item, group);
    ResultsModel& rows = model_.rows();
    if (rows.RecordAt(item.rowIndex) == &item) {
        rows.SetRowStruck(item.rowIndex);
    }
}

void FileCommands::MarkLinked(const CFileItem& item, LinkKind kind) {
    ResultsModel& rows = model_.rows();
    if (rows.RecordAt(item.rowIndex) == &item) {
        rows.SetRowLinked(item.rowIndex, kind);
    }
}

}  // namespace krelix
