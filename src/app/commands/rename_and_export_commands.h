#pragma once

#include <QObject>

#include "operations/ui/commands/rename_export_commands.h"

class QAbstractButton;

namespace krelix {

class CMFCListCtrlEx;
class CommandJournal;
class KrelixDlgModel;
class Prompts;
class RenameDialogs;
struct CFileItem;

// The commands that give result files new names, and Export, which writes the listed rows to a
// CSV file: registers their handlers with the model and connects the Export button. The
// selected file is the record of the first selected row; checked files and exported rows are
// taken in row order. Whatever it is given must outlive it. UI thread only.
class RenameAndExportCommands final : public QObject {
    Q_OBJECT

  public:
    RenameAndExportCommands(KrelixDlgModel& model, CMFCListCtrlEx& list,
                            QAbstractButton& exportButton, Prompts& prompts,
                            RenameDialogs& renameDialogs);
    ~RenameAndExportCommands() override;

    // Where renames are written for undo; null for none. Not owned.
    void SetJournal(CommandJournal* journal) { renameExport_.SetJournal(journal); }

    void RenameSelected();
    void RenameChecked();
    void Export();

  private:
    void RefreshRow(const CFileItem& item);

    KrelixDlgModel& model_;
    CMFCListCtrlEx& list_;
    RenameExportCommands renameExport_;
};

}  // namespace krelix
