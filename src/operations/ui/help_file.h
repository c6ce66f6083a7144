#pragma once

#include <QString>
#include <QStringList>

namespace krelix {

class Launcher;

// Where the user guide may be, best first: beside the program (the build tree), in the
// share folder of the prefix the program is installed under, in the data folders.
QStringList HelpFileCandidates(const QString& programFolder);

// The first candidate that exists, or an empty text.
QString FindHelpFile(const QString& programFolder);

// The folder of the running executable, from /proc/self/exe.
QString ProgramFolder();

// Opens the user guide in the browser. False when it is not found or nothing opens it.
bool OpenHelp(Launcher& launcher);
bool OpenHelp(Launcher& launcher, const QString& programFolder);

}  // namespace krelix
