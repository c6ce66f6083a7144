#include "operations/journal/command_undo.h"

#include "operations/files/no_replace_move.h"
#include "operations/journal/entry_reversal.h"

namespace krelix {

int ReturnFromTrash(const std::string& inTrash, const std::string& original) {
    const int error = MoveNoReplace(inTrash, original);
    if (error == 0) {
        ForgetTrashInfo(inTrash);
    }
    return error;
}

std::string CommandText(CommandKind kind) {
    switch (kind) {
        case CommandKind::Recycle:
            return "moving files to the trash";
        case CommandKind::Move:
            return "moving files";
        case CommandKind::Copy:
            return "copying files";
        case CommandKind::Rename:
            return "renaming a file";
        case CommandKind::BulkRename:
            return "renaming files";
        case CommandKind::HardLink:
            return "replacing duplicates by hard links";
        case CommandKind::Clone:
            return "replacing duplicates by clones";
    }
    return "changing files";
}

namespace {

// The entry as it is to be reversed, or nothing when there is nothing to reverse; a pending entry
// that cannot be told done is named, and never tried again.
std::optional<JournalEntry> ToReverse(const JournalEntry& entry, Trash* trash,
                                      UndoOutcome& outcome) {
    if (entry.state != EntryState::Pending) {
        return entry;
    }
    if (Untouched(entry)) {
        return std::nullopt;
    }
    std::optional<JournalEntry> found = FoundDone(entry, trash);
    if (!found) {
        outcome.left.push_back({entry.original, StoppedReason(entry), false});
    }
    return found;
}

}  // namespace

UndoOutcome UndoCommand(CommandJournal& journal, const JournalCommand& command, Trash* trash) {
    UndoOutcome outcome;
    outcome.found = true;
    outcome.kind = command.kind;
    // Held to the end, so that neither the command itself nor a second undo works alongside.
    std::optional<CommandLock> hold = journal.Hold(command.id);
    if (!hold) {
        outcome.running = true;
        return outcome;
    }
    const std::vector<JournalEntry>& entries = command.entries;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        if (it->state == EntryState::Undone) {
            continue;
        }
        const std::optional<JournalEntry> entry = ToReverse(*it, trash, outcome);
        const int error = entry ? ReverseEntry(*entry, trash, outcome) : 0;
        if (error != 0) {
            const bool retry = CanPass(error);
            outcome.left.push_back(
                {entry->action == EntryAction::Replaced ? entry->original : entry->current,
                 UndoReason(error, *entry), retry});
            if (retry) {
                ++outcome.kept;
                continue;  // stays done: the next undo tries it again
            }
        } else if (entry && entry->action != EntryAction::Copied) {
            ++outcome.restored;
        }
        // At once, so that an undo stopped half-way is not done twice when tried again.
        if (!journal.SetEntryState(it->id, EntryState::Undone)) {
            outcome.journalFailed = true;
        }
    }
    if (outcome.kept == 0) {
        if (journal.ForgetCommand(command.id)) {
            hold->RemoveFile();
        } else {
            outcome.journalFailed = true;
        }
    }
    return outcome;
}

UndoOutcome UndoNewestCommand(CommandJournal& journal, Trash* trash) {
    const std::optional<JournalCommand> newest = journal.Newest();
    if (!newest) {
        return {};
    }
    return UndoCommand(journal, *newest, trash);
}

}  // namespace krelix
