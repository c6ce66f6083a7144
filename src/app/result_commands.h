#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <string>

#include "operations/ui/rename_export_commands.h"
#include "operations/ui/shell_actions.h"

namespace krelix {

class CKrelixDlg;
class CPreviewDlg;
class KrelixDlgModel;
class Launcher;
class Prompts;
class RenameDialogs;
class ShellDialogs;
struct CFileItem;

// The main window's commands that hand result files to the rename dialogs, a CSV file and the
// desktop, and the picture preview that follows the selected row. Registers the commands'
// handlers with the window's model and connects the results list and the Export button.
// The selected file is the record of the first selected row; checked files and exported rows
// are taken in row order. Whatever it is given must outlive it, and it must go before the
// window: it owns the preview, a child of the window. UI thread only.
class ResultCommands final : public QObject {
    Q_OBJECT

  public:
    struct Services {
        Prompts& prompts;
        Launcher& launcher;
        ShellDialogs& shellDialogs;
        RenameDialogs& renameDialogs;
        // Where Help looks for the user guide first (the running program's folder).
        QString programFolder;
    };

    ResultCommands(CKrelixDlg& window, KrelixDlgModel& model, Services services);
    ~ResultCommands() override;

    void RenameSelected();
    void RenameChecked();
    void Export();
    void OpenSelectedFile();
    void OpenContainingFolder();
    void ShowProperties();
    // The user guide in the browser; a message says where it was looked for when it is not
    // there, or that nothing could show it.
    void ShowHelp();

    // The list's click and item-change handler: creates the preview, hidden, the first time,
    // then hands it the selected file, if any.
    void UpdatePreview();
    // Hides the preview (a search is starting, the window is closing); it stays created.
    void HidePreview();
    // Null until the list first reported a click or a change.
    CPreviewDlg* preview() const { return preview_.get(); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Register();
    CFileItem* Selected() const;
    void RefreshRow(const CFileItem& item);

    CKrelixDlg& window_;
    KrelixDlgModel& model_;
    Services services_;
    RenameExportCommands renameExport_;
    ShellActions shell_;
    std::unique_ptr<CPreviewDlg> preview_;
};

}  // namespace krelix
