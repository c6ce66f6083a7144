#pragma once

#include "operations/ui/rename/rename_dialogs.h"

class QWidget;

namespace krelix {

// Shows CRenameFileDlg and CBulkRenameDlg modally over a window (may be null).
class ModalRenameDialogs final : public RenameDialogs {
  public:
    explicit ModalRenameDialogs(QWidget* parent) : parent_(parent) {}

    std::optional<QString> AskNewName(const QString& currentName) override;
    std::optional<BulkRenameFields> AskBulkFields() override;

  private:
    QWidget* parent_;
};

}  // namespace krelix
