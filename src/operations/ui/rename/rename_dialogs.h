#pragma once

#include <QString>
#include <optional>

#include "operations/rename/bulk_rename_fields.h"

namespace krelix {

// How the rename commands ask the user; tests answer without showing a window.
class RenameDialogs {
  public:
    virtual ~RenameDialogs() = default;

    // The new name as typed, or nullopt on Cancel.
    virtual std::optional<QString> AskNewName(const QString& currentName) = 0;
    // The naming rule, or nullopt on Cancel.
    virtual std::optional<BulkRenameFields> AskBulkFields() = 0;
};

}  // namespace krelix
