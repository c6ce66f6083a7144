#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "engine/file_item.h"
#include "operations/files/no_replace_move.h"
#include "operations/rename/bulk_rename_fields.h"
#include "operations/rename/bulk_renamer.h"

namespace krelix {

class JournalRecorder;

// A name that stays in its folder: not empty, not "." or "..", no "/" and no NUL byte.
bool IsPlainFileName(std::string_view name);

// Renames the record's file within its own folder, if it is still the file compared
// (CheckListedFile). On success the record's name and path become the new ones; on failure
// nothing changes. Returns 0, kFileChanged, kNotRegularFile or the errno of the failure
// (EINVAL for a name that would leave the folder). The rename is written to journal, when given.
int RenameRecord(CFileItem& item, const std::string& newName, JournalRecorder* journal = nullptr);

// One bulk rename: restarts the renamer's counter, then renames every record that is not
// deleted, in the order given, to the name the fields give it. Failures do not stop the run.
struct BulkRenameCallbacks {
    std::function<void(CFileItem& item)> renamed;
    std::function<void(const CFileItem& item, const std::string& newPath, int error)> failed;
};
void RenameCheckedFiles(std::span<CFileItem* const> checked, BulkRenameFields fields,
                        BulkRenamer& renamer, const BulkRenameCallbacks& callbacks,
                        JournalRecorder* journal = nullptr);

}  // namespace krelix
