#include "operations/rename/file_rename.h"

#include <cerrno>

#include "operations/files/file_operations.h"
#include "operations/journal/journal_recorder.h"

namespace krelix {

bool IsPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

int RenameRecord(CFileItem& item, const std::string& newName, JournalRecorder* journal) {
    if (!IsPlainFileName(newName)) {
        return EINVAL;
    }
    if (const int check = CheckListedFile(item); check != 0) {
        return check;
    }
    std::string newPath = std::string(FolderOf(item.path)) + newName;
    const std::int64_t entry =
        journal != nullptr ? journal->Before(EntryAction::Moved, item.path, newPath) : 0;
    if (const int error = MoveNoReplace(item.path, newPath); error != 0) {
        if (journal != nullptr) {
            journal->NotDone(entry);
        }
        return error;
    }
    if (journal != nullptr) {
        journal->Done(entry, newPath);
    }
    // The rename itself moves the status-change time; only that is taken over, so that an edit
    // made meanwhile still shows.
    struct stat renamed;
    if (::lstat(newPath.c_str(), &renamed) == 0 && S_ISREG(renamed.st_mode)) {
        FileIdentity now = IdentityOf(renamed);
        if (static_cast<std::uint64_t>(renamed.st_size) == item.size &&
            now.device == item.identity.device && now.inode == item.identity.inode &&
            now.modifiedNs == item.identity.modifiedNs) {
            item.identity.changedNs = now.changedNs;
        }
    }
    item.path = std::move(newPath);
    return 0;
}

void RenameCheckedFiles(std::span<CFileItem* const> checked, BulkRenameFields fields,
                        BulkRenamer& renamer, const BulkRenameCallbacks& callbacks,
                        JournalRecorder* journal) {
    renamer.RestartCounter();
    for (CFileItem* item : checked) {
        if (item == nullptr || item->deleted != 0) {
            continue;
        }
        const std::string newName = renamer.BuildNewName(fields, item->name());
        if (const int error = RenameRecord(*item, newName, journal); error != 0) {
            if (callbacks.failed) {
                callbacks.failed(*item, std::string(FolderOf(item->path)) + newName, error);
            }
        } else if (callbacks.renamed) {
            callbacks.renamed(*item);
        }
    }
}

}  // namespace krelix
