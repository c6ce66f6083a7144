#pragma once

#include <QDialog>

#include "operations/rename/bulk_rename_fields.h"
#include "operations/ui/rename/bulk_rename_presenter.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace krelix {

// "Rename" for the checked files: the naming rule, with a live preview for "sample.txt".
// Starts from the defaults every time; fields() holds the rule once OK was pressed.
class CBulkRenameDlg : public QDialog {
    Q_OBJECT

  public:
    explicit CBulkRenameDlg(QWidget* parent = nullptr,
                            BulkRenamer::Sources sources = BulkRenamer::SystemSources());

    const BulkRenameFields& fields() const { return fields_; }
    const BulkRenamePresenter& presenter() const { return presenter_; }

    void accept() override;

  private:
    void Render();

    BulkRenamePresenter presenter_;
    BulkRenameFields fields_;
    QCheckBox* prefixIncluded_;
    QLineEdit* prefix_;
    QCheckBox* fileNameIncluded_;
    QCheckBox* parameterIncluded_;
    QComboBox* parameterKind_;
    QCheckBox* suffixIncluded_;
    QLineEdit* suffix_;
    QRadioButton* extensionUnchanged_;
    QRadioButton* extensionCustom_;
    QLineEdit* customExtension_;
    QLabel* preview_;
};

}  // namespace krelix
