#include "app/search/folder_list_box.h"

#include <QListWidget>
#include <QMenu>

#include "app/base/lock_icon.h"
#include "app/search/folder_text.h"
#include "common/ui/prompts.h"

namespace krelix {
namespace {

constexpr int kProtectedRole = Qt::UserRole + 1;

}  // namespace

CFolderListBox::CFolderListBox(QWidget* parent) : EditableListBox(parent) {
    // Text edits, marks and removals all reach the list's model; a move changes nothing.
    QAbstractItemModel* entries = listWidget()->model();
    connect(entries, &QAbstractItemModel::dataChanged, this,
            &CFolderListBox::protectedFoldersChanged);
    connect(entries, &QAbstractItemModel::rowsRemoved, this,
            &CFolderListBox::protectedFoldersChanged);
}

bool CFolderListBox::Accepts(const QString& text) const {
    if (NormaliseFolderText(text)) {
        return true;
    }
    if (prompts_ != nullptr) {
        prompts_->Inform(AppCaption(), QStringLiteral("Invalid File Path."), PromptIcon::Warning);
    }
    return false;
}

void CFolderListBox::SetItemText(int index, const QString& text) {
    if (Accepts(text)) {
        EditableListBox::SetItemText(index, text);
    }
}

std::vector<std::string> CFolderListBox::NormalisedEntries(bool protectedOnly) const {
    std::vector<std::string> folders;
    for (int i = 0; i < GetCount(); ++i) {
        if (protectedOnly && !IsProtected(i)) {
            continue;
        }
        if (std::optional<std::string> folder = NormaliseFolderText(GetItemText(i))) {
            folders.push_back(std::move(*folder));
        }
    }
    return folders;
}

std::vector<std::string> CFolderListBox::ExistingFolders() const {
    return NormalisedEntries(false);
}

std::vector<std::string> CFolderListBox::ProtectedFolders() const {
    return NormalisedEntries(true);
}

void CFolderListBox::EnableProtection() {
    if (entryMenu_ != nullptr) {
        return;
    }
    entryMenu_ = new QMenu(this);
    QAction* protect = entryMenu_->addAction(QStringLiteral("Protect Folder"));
    protect->setCheckable(true);
    QListWidget* list = listWidget();
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this, [this, list](const QPoint& at) {
        const int index = list->row(list->itemAt(at));
        if (QMenu* menu = EntryMenu(index)) {
            menu->exec(list->viewport()->mapToGlobal(at));
        }
    });
}

QMenu* CFolderListBox::EntryMenu(int index) {
    if (entryMenu_ == nullptr || index < 0 || index >= GetCount()) {
        return nullptr;
    }
    QAction* protect = entryMenu_->actions().front();
    protect->disconnect(this);
    protect->setChecked(IsProtected(index));
    // The entry is named by its item, which a removal or move meanwhile does not confuse.
    QListWidgetItem* item = listWidget()->item(index);
    connect(protect, &QAction::triggered, this, [this, item](bool on) {
        const int row = listWidget()->row(item);
        if (row >= 0) {
            SetProtected(row, on);
        }
    });
    return entryMenu_;
}

void CFolderListBox::SetProtected(int index, bool on) {
    QListWidgetItem* item = listWidget()->item(index);
    if (item == nullptr || IsProtected(index) == on) {
        return;
    }
    item->setIcon(on ? LockIcon() : QIcon());
    item->setToolTip(on ? QStringLiteral("Protected: Auto Select never checks the files in this "
                                         "folder, and no command removes or replaces them.")
                        : QString());
    item->setData(kProtectedRole, on);
}

bool CFolderListBox::IsProtected(int index) const {
    const QListWidgetItem* item = listWidget()->item(index);
    return item != nullptr && item->data(kProtectedRole).toBool();
}

// The browse button sits beside "New" rather than inside an entry being edited, so what it
// chooses is a new entry: replacing the selected one would overwrite a folder unasked.
void CFolderListBox::OnBrowse() {
    if (prompts_ == nullptr) {
        return;
    }
    const int selected = GetSelItem();
    const QString folder = prompts_->ChooseFolder(
        QStringLiteral("Select a folder"), selected >= 0 ? GetItemText(selected) : QString());
    if (folder.isEmpty() || !Accepts(folder)) {
        return;
    }
    SelectItem(AddItem(folder));
}

}  // namespace krelix
