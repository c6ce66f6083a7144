#include "app/search_criteria.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/folder_list_box.h"
#include "app/krelix_dlg.h"
#include "app/krelix_dlg_model.h"
#include "catalogue/ui/file_type_dlg.h"
#include "common/ui/prompts.h"

namespace krelix {

SearchCriteria::SearchCriteria(CKrelixDlg& window) : window_(window) {
    for (CFolderListBox* list : {window_.includeList(), window_.excludeList()}) {
        list->SetPrompts(&window_.prompts());
    }
    chooser_ = [this](QWidget* parent, const FileTypeCatalogue& catalogue) {
        return CFileTypeDlg::Run(parent, catalogue, window_.prompts());
    };
    connect(window_.selectFileTypeButton(), &QPushButton::clicked, this,
            &SearchCriteria::SelectFileType);
}

SearchCriteriaValues SearchCriteria::Read() {
    SearchCriteriaValues values;
    values.includeFolders = window_.includeList()->ExistingFolders();
    values.excludeFolders = window_.excludeList()->ExistingFolders();
    values.typeMode =
        window_.typeExcludeRadio()->isChecked() ? TypeFilterMode::Exclude : TypeFilterMode::Include;
    values.searchFlags = window_.model().searchFlags();
    values.minSize.on = window_.minSizeCheck()->isChecked();
    values.maxSize.on = window_.maxSizeCheck()->isChecked();
    values.minSize.unitIndex = window_.minUnitCombo()->currentIndex();
    values.maxSize.unitIndex = window_.maxUnitCombo()->currentIndex();
    // An unchecked limit is not used, so its edit is not judged either.
    values.minSize.value = values.minSize.on ? ReadSize(window_.minSizeEdit(), lastMin_) : lastMin_;
    values.maxSize.value = values.maxSize.on ? ReadSize(window_.maxSizeEdit(), lastMax_) : lastMax_;
    return values;
}

std::uint64_t SearchCriteria::ReadSize(QLineEdit* edit, std::uint64_t& lastAccepted) {
    if (const std::optional<std::uint64_t> value = ParseSizeText(edit->text())) {
        lastAccepted = *value;
    } else {
        window_.prompts().Inform(AppCaption(), QStringLiteral("Please enter an unsigned integer."),
                                 PromptIcon::Warning);
    }
    edit->setText(QString::number(lastAccepted));
    return lastAccepted;
}

void SearchCriteria::SelectFileType() {
    if (!chooser_) {
        return;
    }
    std::optional<FileTypeCatalogue> chosen = chooser_(&window_, window_.model().catalogue());
    if (!chosen) {
        return;
    }
    window_.model().catalogue() = std::move(*chosen);
    window_.typeText()->setText(
        QString::fromStdU16String(window_.model().catalogue().PatternText()));
}

}  // namespace krelix
