#include "app/folder_list_box.h"

#include "app/folder_text.h"
#include "common/ui/prompts.h"

namespace krelix {

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

std::vector<std::string> CFolderListBox::ExistingFolders() const {
    std::vector<std::string> folders;
    for (int i = 0; i < GetCount(); ++i) {
        if (std::optional<std::string> folder = NormaliseFolderText(GetItemText(i))) {
            folders.push_back(std::move(*folder));
        }
    }
    return folders;
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
