// Composition root: builds the application, the window's state and the window, and hands each
// its collaborators.
#include "app/file_commands.h"
#include "app/krelix_app.h"
#include "app/krelix_dlg.h"
#include "app/krelix_dlg_model.h"
#include "app/mfc_list_ctrl_ex.h"
#include "common/ui/prompts.h"
#include "operations/ui/desktop_trash.h"
#include "operations/ui/modal_progress.h"
#include "settings/settings_location.h"

int main(int argc, char** argv) {
    krelix::CKrelixApp app(argc, argv);
    krelix::KrelixDlgModel model(krelix::SettingsPath());
    krelix::MessageBoxPrompts prompts(nullptr);
    krelix::CKrelixDlg window(model, prompts);
    prompts.setParent(&window);
    krelix::DesktopTrash trash;
    krelix::ModalProgress progress(&window);
    krelix::FileCommands fileCommands(model, *window.resultsList(), prompts, trash, progress);
    return app.Run(window);
}
