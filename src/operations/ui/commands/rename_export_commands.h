#pragma once

#include <functional>
#include <span>

#include "engine/file_item.h"
#include "operations/rename/bulk_renamer.h"
#include "operations/text/csv_export.h"

namespace krelix {

class CommandJournal;
class Prompts;
class RenameDialogs;

// The commands "Rename The Selected File", "Rename Checked Files to ..." and "Export" on the
// main window's results. The window hands over the records the command acts on (it owns
// them) and refreshes a row when told that its record changed. UI thread only; owns the
// bulk rename's number counter for the life of the window.
class RenameExportCommands {
  public:
    // Called after a record's name and path changed; its rowIndex names the row.
    using RowChanged = std::function<void(const CFileItem& item)>;

    // timeText gives the exported time text; empty means LocaleTimeText, the list's own.
    RenameExportCommands(Prompts& prompts, RenameDialogs& dialogs, TimeTextFn timeText = {},
                         BulkRenamer::Sources sources = BulkRenamer::SystemSources());

    // Where renames are written for undo; null for none. Not owned.
    void SetJournal(CommandJournal* journal) { journal_ = journal; }

    // selected: the record of the first selected row, or null when no row is selected.
    void RenameSelected(CFileItem* selected, const RowChanged& rowChanged);
    // checked: the records of the checked rows, in row order.
    void RenameChecked(std::span<CFileItem* const> checked, const RowChanged& rowChanged);
    // rows: the record of every row of the list, in row order.
    void Export(std::span<const CFileItem* const> rows);

  private:
    Prompts& prompts_;
    RenameDialogs& dialogs_;
    TimeTextFn timeText_;
    BulkRenamer renamer_;
    CommandJournal* journal_ = nullptr;
};

}  // namespace krelix
