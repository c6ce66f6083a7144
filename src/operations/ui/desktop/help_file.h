#pragma once

#include <QString>
#include <QStringList>

namespace krelix {

class Launcher;

// The folders the user guide is looked for in: the program's own folder (the build tree, or the
// bin folder of an installed prefix) and the data folders, each holding krelix/help.
struct HelpFolders {
    QString program;
    QStringList data;
};

// The running program's folder and the system's data folders (XDG_DATA_HOME, XDG_DATA_DIRS).
HelpFolders InstalledHelpFolders();

// Where the user guide may be, best first: beside the program, in the share folder of the
// prefix the program is installed under, in the data folders.
QStringList HelpFileCandidates(const HelpFolders& folders);

// The first candidate that exists, or an empty text.
QString FindHelpFile(const HelpFolders& folders);

// The folder of the running executable, from /proc/self/exe.
QString ProgramFolder();

// Opens the user guide in the browser. False when it is not found or nothing opens it.
bool OpenHelp(Launcher& launcher, const HelpFolders& folders);

}  // namespace krelix
