#include "catalogue/ui/add_file_type.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "catalogue/type_pattern.h"
#include "common/ui/prompts.h"

namespace krelix {

CAddFileType::CAddFileType(const FileTypeTexts& texts, Prompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
    setWindowTitle(QStringLiteral("Add File Type"));
    pattern_ = new QLineEdit(QString::fromStdU16String(texts.pattern), this);
    pattern_->setObjectName(QStringLiteral("pattern"));
    description_ = new QLineEdit(QString::fromStdU16String(texts.description), this);
    description_->setObjectName(QStringLiteral("description"));
    description_->setMinimumWidth(300);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &CAddFileType::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CAddFileType::reject);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("File Type:"), pattern_);
    form->addRow(QStringLiteral("Description:"), description_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

std::optional<FileTypeTexts> CAddFileType::Run(QWidget* parent, const FileTypeTexts& texts,
                                               Prompts& prompts) {
    CAddFileType dialog(texts, prompts, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.texts();
}

FileTypeTexts CAddFileType::texts() const {
    return {pattern_->text().toStdU16String(), description_->text().toStdU16String()};
}

void CAddFileType::accept() {
    if (pattern_->text().isEmpty()) {
        prompts_.Inform(AppCaption(), QStringLiteral("Please Input the file type."),
                        PromptIcon::Warning);
        pattern_->setFocus();
        return;
    }
    pattern_->setText(
        QString::fromStdU16String(NormaliseTypePattern(pattern_->text().toStdU16String())));
    QDialog::accept();
}

}  // namespace krelix
