#pragma once

#include <string>
#include <vector>

#include "operations/journal/command_journal.h"

namespace krelix {

// Clears up after commands that were stopped half-way (killed, or the machine went down) and
// are not running: a replacement is first written to the journal with the temporary name it is
// made under, so every such name can be found. A name that still holds the new link or clone is
// removed; one that holds the target's old file (the names were swapped, the check after it not
// finished) is put back over the target's path, where only the new file stood. Entries that
// come to nothing are marked undone. Returns one line for the user per name dealt with or left.
std::vector<std::string> TidyStoppedCommands(CommandJournal& journal);

}  // namespace krelix
