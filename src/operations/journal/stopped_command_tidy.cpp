#include "operations/journal/stopped_command_tidy.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "operations/files/no_replace_move.h"
#include "platform/sync_folder.h"

namespace krelix {
namespace {

bool IsTemporaryName(const JournalEntry& entry) {
    const std::string_view folder = FolderOf(entry.original);
    return entry.action == EntryAction::Replaced && entry.current != entry.original &&
           entry.current.starts_with(std::string(folder) + ".krelix-link-");
}

bool Names(const struct stat& status, const FileState& state) {
    return state.identity.inode != 0 && S_ISREG(status.st_mode) &&
           static_cast<std::uint64_t>(status.st_dev) == state.identity.device &&
           static_cast<std::uint64_t>(status.st_ino) == state.identity.inode;
}

// The target's old file lies at the temporary name: it goes back over the new file at the
// target's path, or stays where it is when something else took that path.
std::string PutBack(const JournalEntry& entry, CommandJournal& journal) {
    struct stat there {};
    const bool taken = ::lstat(entry.original.c_str(), &there) == 0;
    if (taken && !Names(there, entry.after)) {
        return "A stopped command left the file of " + entry.original + " at " + entry.current +
               ", and that path now holds another file: look at both.";
    }
    if (::rename(entry.current.c_str(), entry.original.c_str()) != 0) {
        return "A stopped command left the file of " + entry.original + " at " + entry.current +
               "; it could not be put back: " + std::strerror(errno);
    }
    SyncFolder(std::string(FolderOf(entry.original)));
    journal.SetEntryState(entry.id, EntryState::Undone);
    return "Put back " + entry.original + ", which a stopped command was replacing.";
}

// The new link or clone never took the target's name.
std::string RemoveMade(const JournalEntry& entry, const struct stat& made,
                       CommandJournal& journal) {
    const bool isKnown = entry.after.identity.inode == 0 || Names(made, entry.after);
    if (!S_ISREG(made.st_mode) || !isKnown) {
        return "A stopped command's temporary name " + entry.current +
               " holds a file it did not make there; it was left.";
    }
    if (::unlink(entry.current.c_str()) != 0 && errno != ENOENT) {
        return "A stopped command's temporary name " + entry.current +
               " could not be removed: " + std::strerror(errno);
    }
    struct stat original {};
    if (::lstat(entry.original.c_str(), &original) == 0 && Names(original, entry.before)) {
        journal.SetEntryState(entry.id, EntryState::Undone);
    }
    return "Removed the temporary name " + entry.current + " that a stopped command left.";
}

}  // namespace

std::vector<std::string> TidyStoppedCommands(CommandJournal& journal) {
    std::vector<std::string> lines;
    for (const JournalCommand& command : journal.Interrupted()) {
        const std::optional<CommandLock> hold = journal.Hold(command.id);
        if (!hold) {
            continue;  // began running, or another program tidies it
        }
        for (const JournalEntry& entry : command.entries) {
            struct stat status {};
            if (entry.state != EntryState::Pending || !IsTemporaryName(entry) ||
                ::lstat(entry.current.c_str(), &status) != 0) {
                continue;
            }
            lines.push_back(Names(status, entry.before) ? PutBack(entry, journal)
                                                        : RemoveMade(entry, status, journal));
        }
    }
    return lines;
}

}  // namespace krelix
