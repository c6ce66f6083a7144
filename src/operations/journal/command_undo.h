#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "operations/journal/command_journal.h"

namespace krelix {

class Trash;

// A file the undo did not give back, and why.
struct UndoLeft {
    std::string path;    // where the file is now (or was to be restored to)
    std::string reason;  // "its path is taken now: /a/b"
    bool kept = false;   // the reason may pass: the journal keeps the file for the next undo
};

// A file the undo moved: the window's rows follow it.
struct UndoMoved {
    std::string from;  // "" for a file that came back from the trash
    std::string to;
};

struct UndoOutcome {
    bool found = false;    // there was a command to undo
    bool running = false;  // it is running (or being undone) elsewhere: nothing was done
    CommandKind kind = CommandKind::Move;
    std::size_t restored = 0;
    std::vector<UndoLeft> left;
    std::size_t kept = 0;               // left files the journal keeps for the next undo
    std::vector<UndoMoved> moved;       // recycled, moved and renamed files given back
    std::vector<std::string> unlinked;  // replaced files given their own file again
    bool journalFailed = false;         // the journal could not be updated
};

// Reverses the command, newest file first: a recycled file comes back from the trash, a moved or
// renamed file goes back, a file replaced by a hard link or clone becomes a file of its own again
// with its own mode, owner (where permitted) and times, and a copy that replaced a file goes to
// `trash` (the replaced file then comes back). Nothing is ever replaced: a file whose path is
// taken, or that changed since the command (device, inode, size, times), is left and named. A
// file the command was working on when it stopped is given back only where it is plainly as it
// was. A command still running, or being undone elsewhere, is not touched (running). Files left
// for a reason that may pass (no room, a taken path, no permission) stay in the journal, and
// the command stays the newest, so that the next undo tries them again; otherwise the command is
// dropped from the journal.
UndoOutcome UndoCommand(CommandJournal& journal, const JournalCommand& command, Trash* trash);
// The newest command in the journal; found is false when there is none.
UndoOutcome UndoNewestCommand(CommandJournal& journal, Trash* trash);

// Takes a file the program just moved to the trash back to where it was, never over anything
// (EEXIST), with the trash's note of it. 0 or an errno.
int ReturnFromTrash(const std::string& inTrash, const std::string& original);

// "moving files to the trash", "hard-linking duplicates"... for messages.
std::string CommandText(CommandKind kind);

}  // namespace krelix
