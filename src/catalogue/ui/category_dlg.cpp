#include "catalogue/ui/category_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/ui/prompts.h"

namespace krelix {

CCategoryDlg::CCategoryDlg(const std::u16string& name, Prompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
    setWindowTitle(QStringLiteral("Add category"));
    name_ = new QLineEdit(QString::fromStdU16String(name), this);
    name_->setObjectName(QStringLiteral("categoryName"));
    name_->setMinimumWidth(260);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &CCategoryDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CCategoryDlg::reject);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Category Name:"), name_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

std::optional<std::u16string> CCategoryDlg::Run(QWidget* parent, const std::u16string& name,
                                                Prompts& prompts) {
    CCategoryDlg dialog(name, prompts, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.name();
}

std::u16string CCategoryDlg::name() const {
    return name_->text().toStdU16String();
}

void CCategoryDlg::accept() {
    if (name_->text().isEmpty()) {
        prompts_.Inform(AppCaption(), QStringLiteral("Please Input the category name."),
                        PromptIcon::Warning);
        name_->setFocus();
        return;
    }
    QDialog::accept();
}

}  // namespace krelix
