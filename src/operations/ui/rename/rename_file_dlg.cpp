#include "operations/ui/rename/rename_file_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace krelix {

CRenameFileDlg::CRenameFileDlg(const QString& currentName, QWidget* parent)
    : QDialog(parent), currentName_(new QLineEdit(currentName)), newName_(new QLineEdit) {
    setWindowTitle(QStringLiteral("Rename"));
    currentName_->setObjectName(QStringLiteral("currentName"));
    currentName_->setReadOnly(true);
    newName_->setObjectName(QStringLiteral("newName"));
    newName_->setMinimumWidth(320);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("File Name:"), currentName_);
    form->addRow(QStringLiteral("New File Name:"), newName_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    newName_->setFocus();
}

QString CRenameFileDlg::newName() const {
    return newName_->text();
}

}  // namespace krelix
