#pragma once

#include <ctime>
#include <ostream>
#include <string>

namespace krelix {

class CommandJournal;

// Clears up after commands killed half-way (TidyStoppedCommands) and names on err each
// temporary name it removed, put back or left.
void TidyAndSay(CommandJournal& journal, std::ostream& err);

// Undoes the newest command in the journal at journalPath (UndoNewestCommand; no trash, so a
// copy that replaced a file is left). Each file left is named on err with its reason, then
// "Files restored: N, files left: L" goes to out. Names a stopped command left half-made are
// cleared up first; a command still running elsewhere is refused. The exit status: 0, or 1 when a
// file was left or the journal could not be used.
int RunUndo(const std::string& journalPath, std::time_t now, std::ostream& out, std::ostream& err);

}  // namespace krelix
