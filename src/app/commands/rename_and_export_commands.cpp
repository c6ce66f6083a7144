#include "app/commands/rename_and_export_commands.h"

#include <QAbstractButton>
#include <vector>

#include "app/results/mfc_list_ctrl_ex.h"
#include "app/state/krelix_dlg_model.h"
#include "common/ui/locale_time_text.h"

namespace krelix {

RenameAndExportCommands::RenameAndExportCommands(KrelixDlgModel& model, CMFCListCtrlEx& list,
                                                 QAbstractButton& exportButton, Prompts& prompts,
                                                 RenameDialogs& renameDialogs)
    : model_(model),
      list_(list),
      // The export writes the very text of the list's "Modified Time" column.
      renameExport_(prompts, renameDialogs,
                    [](std::int64_t seconds) { return LocaleTimeText(seconds).toStdU16String(); }) {
    model_.SetCommandHandler(CommandId::RenameSelected, [this] { RenameSelected(); });
    model_.SetCommandHandler(CommandId::RenameChecked, [this] { RenameChecked(); });
    connect(&exportButton, &QAbstractButton::clicked, this, &RenameAndExportCommands::Export);
}

RenameAndExportCommands::~RenameAndExportCommands() {
    model_.SetCommandHandler(CommandId::RenameSelected, {});
    model_.SetCommandHandler(CommandId::RenameChecked, {});
}

void RenameAndExportCommands::RefreshRow(const CFileItem& item) {
    model_.rows().RefreshRow(item.rowIndex);
}

void RenameAndExportCommands::RenameSelected() {
    renameExport_.RenameSelected(list_.SelectedRecord(),
                                 [this](const CFileItem& item) { RefreshRow(item); });
}

void RenameAndExportCommands::RenameChecked() {
    const std::vector<CFileItem*> checked = model_.rows().CheckedRecords();
    renameExport_.RenameChecked(checked, [this](const CFileItem& item) { RefreshRow(item); });
}

void RenameAndExportCommands::Export() {
    const std::vector<CFileItem*> records = model_.rows().RowRecords();
    const std::vector<const CFileItem*> rows(records.begin(), records.end());
    renameExport_.Export(rows);
}

}  // namespace krelix
