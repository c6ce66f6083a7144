#include "app/search/search_criteria.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/base/object_name.h"
#include "app/search/folder_list_box.h"
#include "app/state/krelix_dlg_model.h"
#include "catalogue/ui/file_type_dlg.h"
#include "common/ui/prompts.h"

namespace krelix {
namespace {

QComboBox* UnitCombo(QWidget* parent, const char* name) {
    auto* combo = Named(new QComboBox(parent), name);
    combo->addItems(
        {QStringLiteral("B"), QStringLiteral("KB"), QStringLiteral("MB"), QStringLiteral("GB")});
    combo->setCurrentIndex(0);
    combo->setEnabled(false);
    return combo;
}

QLineEdit* SizeEdit(QWidget* parent, const char* name) {
    auto* edit = Named(new QLineEdit(QStringLiteral("0"), parent), name);
    edit->setEnabled(false);
    return edit;
}

}  // namespace

SearchCriteria::SearchCriteria(QWidget& window, KrelixDlgModel& model, Prompts& prompts)
    : window_(window), model_(model), prompts_(prompts) {
    searchPath_ = BuildSearchPath();
    fileType_ = BuildFileType();
    fileSize_ = BuildFileSize();
    for (CFolderListBox* list : {include_, exclude_}) {
        list->SetPrompts(&prompts_);
    }
    chooser_ = [this](QWidget* parent, const FileTypeCatalogue& catalogue) {
        return CFileTypeDlg::Run(parent, catalogue, prompts_);
    };
    connect(selectFileType_, &QPushButton::clicked, this, &SearchCriteria::SelectFileType);
}

QGroupBox* SearchCriteria::BuildSearchPath() {
    auto* group = Named(new QGroupBox(QStringLiteral("Search Path"), &window_), "searchPath");
    include_ = Named(new CFolderListBox(group), "includeList");
    include_->SetCaption(QStringLiteral("Include to Search"));
    include_->EnableProtection();
    connect(include_, &CFolderListBox::protectedFoldersChanged, this,
            [this] { model_.setProtectedFolders(ProtectedFolders(include_->ProtectedFolders())); });
    exclude_ = Named(new CFolderListBox(group), "excludeList");
    exclude_->SetCaption(QStringLiteral("Exclude from Search"));
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(8, 4, 8, 6);
    layout->setSpacing(6);
    layout->addWidget(include_);
    layout->addWidget(exclude_);
    // Two and a half entries show in each list; the lists grow only in width.
    const int listHeight =
        window_.fontMetrics().height() * 2 + 14 + include_->upButton()->sizeHint().height();
    for (CFolderListBox* list : {include_, exclude_}) {
        list->setFixedHeight(listHeight);
    }
    group->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return group;
}

QGroupBox* SearchCriteria::BuildFileType() {
    auto* group = Named(new QGroupBox(QStringLiteral("Search File Type"), &window_), "fileType");
    typeInclude_ = Named(new QRadioButton(QStringLiteral("Include"), group), "typeInclude");
    typeExclude_ = Named(new QRadioButton(QStringLiteral("Exclude"), group), "typeExclude");
    typeInclude_->setChecked(true);
    selectFileType_ =
        Named(new QPushButton(QStringLiteral("Select File Type"), group), "selectFileType");
    typeText_ = Named(new QLineEdit(group), "typeText");
    typeText_->setReadOnly(true);

    auto* layout = new QGridLayout(group);
    layout->setContentsMargins(8, 4, 8, 6);
    layout->addWidget(typeInclude_, 0, 0);
    layout->addWidget(typeExclude_, 0, 1);
    layout->addWidget(selectFileType_, 0, 2);
    layout->addWidget(typeText_, 1, 0, 1, 3);
    group->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return group;
}

QGroupBox* SearchCriteria::BuildFileSize() {
    auto* group = Named(new QGroupBox(QStringLiteral("Search File Size"), &window_), "fileSize");
    minSizeCheck_ = Named(new QCheckBox(QStringLiteral("Min File Size"), group), "minSizeCheck");
    maxSizeCheck_ = Named(new QCheckBox(QStringLiteral("Max File Size"), group), "maxSizeCheck");
    minSizeEdit_ = SizeEdit(group, "minSizeEdit");
    maxSizeEdit_ = SizeEdit(group, "maxSizeEdit");
    minUnit_ = UnitCombo(group, "minUnit");
    maxUnit_ = UnitCombo(group, "maxUnit");

    // A limit's number and unit are editable only while its box is checked; they keep their
    // values while greyed out.
    connect(minSizeCheck_, &QCheckBox::toggled, this, [this](bool on) {
        minSizeEdit_->setEnabled(on);
        minUnit_->setEnabled(on);
    });
    connect(maxSizeCheck_, &QCheckBox::toggled, this, [this](bool on) {
        maxSizeEdit_->setEnabled(on);
        maxUnit_->setEnabled(on);
    });

    auto* layout = new QGridLayout(group);
    layout->setContentsMargins(8, 4, 8, 6);
    layout->addWidget(minSizeCheck_, 0, 0);
    layout->addWidget(minSizeEdit_, 0, 1);
    layout->addWidget(minUnit_, 0, 2);
    layout->addWidget(maxSizeCheck_, 1, 0);
    layout->addWidget(maxSizeEdit_, 1, 1);
    layout->addWidget(maxUnit_, 1, 2);
    group->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return group;
}

SearchCriteriaValues SearchCriteria::Read() {
    SearchCriteriaValues values;
    values.includeFolders = include_->ExistingFolders();
    values.excludeFolders = exclude_->ExistingFolders();
    values.typeMode = typeExclude_->isChecked() ? TypeFilterMode::Exclude : TypeFilterMode::Include;
    values.searchFlags = model_.searchFlags();
    values.minSize.on = minSizeCheck_->isChecked();
    values.maxSize.on = maxSizeCheck_->isChecked();
    values.minSize.unitIndex = minUnit_->currentIndex();
    values.maxSize.unitIndex = maxUnit_->currentIndex();
    // An unchecked limit is not used, so its edit is not judged either.
    values.minSize.value = values.minSize.on ? ReadSize(minSizeEdit_, lastMin_) : lastMin_;
    values.maxSize.value = values.maxSize.on ? ReadSize(maxSizeEdit_, lastMax_) : lastMax_;
    return values;
}

bool SearchCriteria::HasIncludeEntry() const {
    return include_->GetCount() != 0;
}

std::uint64_t SearchCriteria::ReadSize(QLineEdit* edit, std::uint64_t& lastAccepted) {
    if (const std::optional<std::uint64_t> value = ParseSizeText(edit->text())) {
        lastAccepted = *value;
    } else {
        prompts_.Inform(AppCaption(), QStringLiteral("Please enter an unsigned integer."),
                        PromptIcon::Warning);
    }
    edit->setText(QString::number(lastAccepted));
    return lastAccepted;
}

void SearchCriteria::SelectFileType() {
    if (!chooser_) {
        return;
    }
    std::optional<FileTypeCatalogue> chosen = chooser_(&window_, model_.catalogue());
    if (!chosen) {
        return;
    }
    model_.catalogue() = std::move(*chosen);
    typeText_->setText(QString::fromStdU16String(model_.catalogue().PatternText()));
}

}  // namespace krelix
