#include "operations/ui/rename/modal_rename_dialogs.h"

#include "operations/ui/rename/bulk_rename_dlg.h"
#include "operations/ui/rename/rename_file_dlg.h"

namespace krelix {

std::optional<QString> ModalRenameDialogs::AskNewName(const QString& currentName) {
    CRenameFileDlg dialog(currentName, parent_);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.newName();
}

std::optional<BulkRenameFields> ModalRenameDialogs::AskBulkFields() {
    CBulkRenameDlg dialog(parent_);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.fields();
}

}  // namespace krelix
