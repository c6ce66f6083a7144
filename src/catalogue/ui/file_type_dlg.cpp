#include "catalogue/ui/file_type_dlg.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include "catalogue/ui/category_dlg.h"
#include "catalogue/ui/muti_tree_ctrl.h"
#include "common/ui/prompts.h"

namespace krelix {

CFileTypeDlg::Editors CFileTypeDlg::RealEditors(Prompts& prompts) {
    Editors editors;
    editors.category = [&prompts](QWidget* parent, const std::u16string& name) {
        return CCategoryDlg::Run(parent, name, prompts);
    };
    editors.fileType = [&prompts](QWidget* parent, const FileTypeTexts& texts) {
        return CAddFileType::Run(parent, texts, prompts);
    };
    return editors;
}

CFileTypeDlg::CFileTypeDlg(FileTypeCatalogue catalogue, Prompts& prompts, QWidget* parent)
    : CFileTypeDlg(std::move(catalogue), prompts, RealEditors(prompts), parent) {}

CFileTypeDlg::CFileTypeDlg(FileTypeCatalogue catalogue, Prompts& prompts, Editors editors,
                           QWidget* parent)
    : QDialog(parent),
      catalogue_(std::move(catalogue)),
      prompts_(prompts),
      editors_(std::move(editors)) {
    setWindowTitle(QStringLiteral("Chose File Type"));
    BuildControls();
    if (catalogue_.IsEmpty()) {
        catalogue_.RestoreDefaultCatalogue();
    }
    tree_->Fill(catalogue_);
}

CFileTypeDlg::~CFileTypeDlg() = default;

std::optional<FileTypeCatalogue> CFileTypeDlg::Run(QWidget* parent,
                                                   const FileTypeCatalogue& catalogue,
                                                   Prompts& prompts) {
    CFileTypeDlg dialog(catalogue, prompts, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return std::move(dialog.catalogue());
}

void CFileTypeDlg::BuildControls() {
    tree_ = new CMutiTreeCtrl(this);
    tree_->setObjectName(QStringLiteral("fileTypes"));
    tree_->setMinimumSize(380, 360);

    struct Command {
        const char* name;
        const char* button;
        const char* menu;
        void (CFileTypeDlg::*run)();
    };
    static const Command kCommands[] = {
        {"addCategory", "Add category", "Add Category", &CFileTypeDlg::AddCategory},
        {"addFileType", "Add file type", "Add File Type", &CFileTypeDlg::AddFileType},
        {"edit", "Edit", "Edit", &CFileTypeDlg::EditSelected},
        {"delete", "Delete", "Delete", &CFileTypeDlg::DeleteSelected},
        {"restoreDefaults", "Restore Defaults", "Restore Defaults", &CFileTypeDlg::RestoreDefaults},
    };
    menu_ = new QMenu(this);
    auto* column = new QVBoxLayout;
    for (const Command& command : kCommands) {
        auto* button = new QPushButton(QString::fromLatin1(command.button), this);
        button->setObjectName(QString::fromLatin1(command.name));
        button->setAutoDefault(false);
        const auto run = command.run;
        connect(button, &QPushButton::clicked, this, [this, run] { (this->*run)(); });
        column->addWidget(button);
        // The menu's separators stand before "Edit" and before "Restore Defaults".
        if (run == &CFileTypeDlg::EditSelected || run == &CFileTypeDlg::RestoreDefaults) {
            menu_->addSeparator();
        }
        QAction* action = menu_->addAction(QString::fromLatin1(command.menu));
        action->setObjectName(QString::fromLatin1(command.name));
        connect(action, &QAction::triggered, this, [this, run] { (this->*run)(); });
    }
    column->addStretch(1);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &CFileTypeDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CFileTypeDlg::reject);
    column->addWidget(ok);
    column->addWidget(cancel);
    tree_->SetContextMenu(menu_);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(tree_, 1);
    layout->addLayout(column);
}

void CFileTypeDlg::AddCategory() {
    if (!editors_.category) {
        return;
    }
    const std::optional<std::u16string> name = editors_.category(this, std::u16string());
    if (!name) {
        return;
    }
    tree_->SelectItem(tree_->AppendCategory(catalogue_.AddCategory(*name)));
}

void CFileTypeDlg::AddFileType() {
    QTreeWidgetItem* selected = tree_->SelectedItem();
    if (selected == nullptr || !editors_.fileType) {
        return;
    }
    const std::optional<FileTypeTexts> texts = editors_.fileType(this, FileTypeTexts{});
    if (!texts) {
        return;
    }
    QTreeWidgetItem* categoryItem =
        CMutiTreeCtrl::IsCategoryItem(selected) ? selected : selected->parent();
    CFileType& type =
        CMutiTreeCtrl::CategoryOf(categoryItem)->AddType(texts->pattern, texts->description);
    QTreeWidgetItem* item = tree_->AppendType(categoryItem, type);
    categoryItem->setExpanded(true);
    tree_->SelectItem(item);
}

void CFileTypeDlg::EditSelected() {
    QTreeWidgetItem* selected = tree_->SelectedItem();
    if (selected == nullptr) {
        return;
    }
    if (CFileType* type = CMutiTreeCtrl::TypeOf(selected)) {
        if (!editors_.fileType) {
            return;
        }
        const std::optional<FileTypeTexts> texts =
            editors_.fileType(this, {type->GetPattern(), type->GetDescription()});
        if (!texts) {
            return;
        }
        type->SetPattern(texts->pattern);
        type->SetDescription(texts->description);
    } else {
        if (!editors_.category) {
            return;
        }
        CFileCategory* category = CMutiTreeCtrl::CategoryOf(selected);
        const std::optional<std::u16string> name =
            editors_.category(this, selected->text(0).toStdU16String());
        if (!name) {
            return;
        }
        category->SetName(*name);
    }
    CMutiTreeCtrl::RefreshLabel(selected);
}

void CFileTypeDlg::DeleteSelected() {
    QTreeWidgetItem* selected = tree_->SelectedItem();
    if (selected == nullptr) {
        return;
    }
    const bool isCategory = CMutiTreeCtrl::IsCategoryItem(selected);
    const QString question =
        (isCategory ? QStringLiteral("Do you want to delete this category - ")
                    : QStringLiteral("Do you want to delete this file type - ")) +
        selected->text(0) + QStringLiteral("?");
    if (!prompts_.AskOkCancel(QStringLiteral("Delete"), question)) {
        return;
    }
    CFileCategory* category = CMutiTreeCtrl::CategoryOf(selected);
    CFileType* type = CMutiTreeCtrl::TypeOf(selected);
    // The item goes first: nothing may point at an entry once it is destroyed.
    delete selected;
    if (isCategory) {
        catalogue_.RemoveCategory(*category);
    } else {
        category->RemoveType(*type);
    }
}

void CFileTypeDlg::RestoreDefaults() {
    tree_->clear();
    catalogue_.RestoreDefaultCatalogue();
    tree_->Fill(catalogue_);
}

}  // namespace krelix
