#pragma once

#include <optional>
#include <string>

#include "operations/journal/command_journal.h"
#include "operations/journal/command_undo.h"

namespace krelix {

class Trash;

// The steps of an undo, one journal entry at a time.

// The entry's original folder is gone and could not be made again.
inline constexpr int kFolderMissing = -100;
// A copy is to be undone where no trash is at hand.
inline constexpr int kNoTrash = -101;

// Gives back what the done entry did to its file (see UndoCommand); 0 or an error for
// UndoReason. Files given back are added to `outcome`'s moved and unlinked lists.
int ReverseEntry(const JournalEntry& entry, Trash* trash, UndoOutcome& outcome);

// The freedesktop.org trash keeps "files/NAME" beside "info/NAME.trashinfo"; the latter goes with
// the file, or the trash would list a file it no longer has.
void ForgetTrashInfo(const std::string& inTrash);

// A pending entry whose file is plainly as it was before: the command never touched it.
bool Untouched(const JournalEntry& entry);
// The freedesktop.org trash keeps "files/NAME" beside "info/NAME.trashinfo"; the latter goes with
// the file, or the trash would list a file it no longer has.
void ForgetTrashInfo(const std::string& inTrash);

// A pending entry whose file got where it was going before the command stopped, as if it had
// been written done; nothing when it cannot be found so.
std::optional<JournalEntry> FoundDone(const JournalEntry& entry, Trash* trash);
std::string StoppedReason(const JournalEntry& entry);

// Why a file was left, for the user.
std::string UndoReason(int error, const JournalEntry& entry);
// Whether the reason may pass (no room, a taken path, permissions), so that the entry is kept
// for the next undo; a file changed or gone since the command never comes back.
bool CanPass(int error);

}  // namespace krelix
