// Composition root: builds the application, the window's state and the window, and hands each
// its collaborators.
#include "app/file_commands.h"
#include "app/krelix_app.h"
#include "app/krelix_dlg.h"
#include "app/krelix_dlg_model.h"
#include "app/mfc_list_ctrl_ex.h"
#include "app/result_commands.h"
#include "common/ui/prompts.h"
#include "operations/ui/desktop_launcher.h"
#include "operations/ui/desktop_trash.h"
#include "operations/ui/help_file.h"
#include "operations/ui/modal_progress.h"
#include "operations/ui/modal_rename_dialogs.h"
#include "operations/ui/widget_shell_dialogs.h"
#include "settings/settings_location.h"

int main(int argc, char** argv) {
    krelix::CKrelixApp app(argc, argv);
    krelix::KrelixDlgModel model(krelix::SettingsPath());
    krelix::MessageBoxPrompts prompts(nullptr);
    krelix::CKrelixDlg window(model, prompts);
    prompts.setParent(&window);

    krelix::DesktopLauncher launcher;
    krelix::WidgetShellDialogs shellDialogs(&window);
    krelix::ModalRenameDialogs renameDialogs(&window);
    krelix::ResultCommands resultCommands(
        window, model, {prompts, launcher, shellDialogs, renameDialogs, krelix::ProgramFolder()});
    krelix::DesktopTrash trash;
    krelix::ModalProgress progress(&window);
    krelix::FileCommands fileCommands(model, *window.resultsList(), prompts, trash, progress);
    return app.Run(window);
}
