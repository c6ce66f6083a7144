#pragma once

#include <QString>

#include "operations/ui/desktop/help_file.h"
#include "operations/ui/desktop/shell_actions.h"

namespace krelix {

class CMFCListCtrlEx;
class KrelixDlgModel;
class Launcher;
class Prompts;
class ShellDialogs;

// The commands that hand the selected result file to the desktop (open it, show it in its
// folder, show its properties) and Help, which opens the user guide in the browser: registers
// their handlers with the model for as long as it lives. The selected file is the record of
// the first selected row. Whatever it is given must outlive it. UI thread only.
class DesktopCommands {
  public:
    struct Services {
        Prompts& prompts;
        Launcher& launcher;
        ShellDialogs& shellDialogs;
        // Where Help looks for the user guide.
        HelpFolders helpFolders;
    };

    DesktopCommands(KrelixDlgModel& model, CMFCListCtrlEx& list, Services services);
    ~DesktopCommands();
    DesktopCommands(const DesktopCommands&) = delete;
    DesktopCommands& operator=(const DesktopCommands&) = delete;

    void OpenSelectedFile();
    void OpenContainingFolder();
    void ShowProperties();
    // The user guide in the browser; a message says where it was looked for when it is not
    // there, or that nothing could show it.
    void ShowHelp();

  private:
    KrelixDlgModel& model_;
    CMFCListCtrlEx& list_;
    Services services_;
    ShellActions shell_;
};

}  // namespace krelix
