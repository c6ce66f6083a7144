// Composition root: builds the application, the window's state and the window, and hands each
// its collaborators.
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <memory>

#include "app/commands/desktop_commands.h"
#include "app/commands/file_commands.h"
#include "app/commands/rename_and_export_commands.h"
#include "app/commands/undo_commands.h"
#include "app/results/mfc_list_ctrl_ex.h"
#include "app/results/selection_preview.h"
#include "app/state/krelix_dlg_model.h"
#include "app/window/info_options.h"
#include "app/window/krelix_app.h"
#include "app/window/krelix_dlg.h"
#include "cache/hash_cache.h"
#include "common/ui/prompts.h"
#include "operations/journal/command_journal.h"
#include "operations/ui/commands/modal_progress.h"
#include "operations/ui/desktop/desktop_launcher.h"
#include "operations/ui/desktop/desktop_trash.h"
#include "operations/ui/desktop/help_file.h"
#include "operations/ui/desktop/widget_shell_dialogs.h"
#include "operations/ui/rename/modal_rename_dialogs.h"
#include "settings/settings_location.h"

int main(int argc, char** argv) {
    if (const auto text = krelix::InfoOptionText({argv + 1, argv + argc})) {
        std::fputs(text->c_str(), stdout);
        return 0;
    }
    krelix::CKrelixApp app(argc, argv);
    krelix::KrelixDlgModel model(krelix::SettingsPath());
    model.setHashCachePath(krelix::DefaultHashCachePath());
    krelix::MessageBoxPrompts prompts(nullptr);
    krelix::CKrelixDlg window(model, prompts);
    prompts.setParent(&window);

    krelix::CMFCListCtrlEx& list = *window.resultsList();

    // The helpers go before the window: the preview is its child, the commands act on its list.
    krelix::DesktopTrash trash;
    krelix::ModalProgress progress(&window);
    std::string journalNotice;
    const std::unique_ptr<krelix::CommandJournal> journal = krelix::CommandJournal::Open(
        krelix::DefaultJournalPath(), std::time(nullptr), journalNotice);
    krelix::FileCommands fileCommands(model, list, prompts, trash, progress);
    fileCommands.SetJournal(journal.get());
    krelix::ModalRenameDialogs renameDialogs(&window);
    krelix::RenameAndExportCommands renameExport(model, list, *window.exportButton(), prompts,
                                                 renameDialogs);
    renameExport.SetJournal(journal.get());
    krelix::UndoCommands undo(model, prompts, trash, journal.get(), journalNotice);
    // Once the window shows: a question about a command stopped half-way needs it behind.
    QTimer::singleShot(0, &window, [&undo] { undo.CheckAtStart(); });
    krelix::DesktopLauncher launcher;
    krelix::WidgetShellDialogs shellDialogs(&window);
    krelix::DesktopCommands desktop(
        model, list, {prompts, launcher, shellDialogs, krelix::InstalledHelpFolders()});
    krelix::SelectionPreview selectionPreview(window, model.rows(), list);
    return app.Run(window);
}
