#pragma once

#include <QObject>
#include <string>

namespace krelix {

class Launcher;
class Prompts;
class ShellDialogs;

// The commands that hand the selected file to the desktop: open it, show it in its folder,
// show its properties. Each returns at once; where the desktop has no answer (no handler,
// no file manager on the bus) the fallback runs when that is known. The window calls them
// with the selected file's path only when a row is selected. The launcher, dialogs and
// prompts must outlive this object; replies arriving after it is gone are ignored.
class ShellActions final : public QObject {
    Q_OBJECT

  public:
    ShellActions(Launcher& launcher, ShellDialogs& dialogs, Prompts& prompts,
                 QObject* parent = nullptr);

    // "Open The Selected File": the associated program; else the desktop's program chooser
    // (portal), else the program's own chooser.
    void OpenFile(const std::string& path);
    // "Open Containing Folder" and a double click: the file manager with the file selected,
    // else the folder.
    void ShowInFolder(const std::string& path);
    // "File Properties": the file manager's properties window, else the program's own.
    void ShowProperties(const std::string& path);

  private:
    void ChooseProgram(const std::string& path);

    Launcher& launcher_;
    ShellDialogs& dialogs_;
    Prompts& prompts_;
};

}  // namespace krelix
