// Composition root: builds the application, the window's state and the window, and hands each
// its collaborators.
#include "app/krelix_app.h"
#include "app/krelix_dlg.h"
#include "app/krelix_dlg_model.h"
#include "common/ui/prompts.h"
#include "settings/settings_location.h"

int main(int argc, char** argv) {
    krelix::CKrelixApp app(argc, argv);
    krelix::KrelixDlgModel model(krelix::SettingsPath());
    krelix::MessageBoxPrompts prompts(nullptr);
    krelix::CKrelixDlg window(model, prompts);
    prompts.setParent(&window);
    return app.Run(window);
}
