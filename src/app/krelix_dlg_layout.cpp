// Building the main window's controls and their layout.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/folder_list_box.h"
#include "app/krelix_dlg.h"
#include "app/mfc_list_ctrl_ex.h"

namespace krelix {
namespace {

// Narrow buttons of the bottom row and the wide menu buttons, in pixels.
constexpr int kButtonWidth = 95;
constexpr int kMenuButtonWidth = 120;

template <typename W>
W* Named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

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

void CKrelixDlg::BuildControls() {
    auto* top = new QHBoxLayout;
    top->addWidget(BuildSearchPath(), 1);
    // The type and size frames form one column of one width, which follows the right edge.
    QGroupBox* type = BuildFileType();
    QGroupBox* size = BuildFileSize();
    const int columnWidth = std::max(type->sizeHint().width(), size->sizeHint().width());
    type->setFixedWidth(columnWidth);
    size->setFixedWidth(columnWidth);
    auto* right = new QVBoxLayout;
    right->addWidget(type);
    right->addWidget(size);
    top->addLayout(right);

    results_ = Named(new CMFCListCtrlEx(this), "results");
    connect(results_, &CMFCListCtrlEx::commandChosen, this, &CKrelixDlg::RunCommand);
    connect(results_, &CMFCListCtrlEx::rowDoubleClicked, this,
            [this] { RunCommand(CommandId::OpenContainingFolder); });

    status_ = Named(new QLabel(this), "statusLine");
    status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 6, 10, 8);
    layout->setSpacing(5);
    layout->addLayout(top);
    layout->addWidget(results_, 1);
    layout->addWidget(status_);
    layout->addLayout(BuildButtonRow());
}

QGroupBox* CKrelixDlg::BuildSearchPath() {
    auto* group = Named(new QGroupBox(QStringLiteral("Search Path"), this), "searchPath");
    include_ = Named(new CFolderListBox(group), "includeList");
    include_->SetCaption(QStringLiteral("Include to Search"));
    exclude_ = Named(new CFolderListBox(group), "excludeList");
    exclude_->SetCaption(QStringLiteral("Exclude from Search"));
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(8, 4, 8, 6);
    layout->setSpacing(6);
    layout->addWidget(include_);
    layout->addWidget(exclude_);
    // Two and a half entries show in each list; the lists grow only in width.
    const int listHeight =
        fontMetrics().height() * 2 + 14 + include_->upButton()->sizeHint().height();
    for (CFolderListBox* list : {include_, exclude_}) {
        list->setFixedHeight(listHeight);
    }
    group->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return group;
}

QGroupBox* CKrelixDlg::BuildFileType() {
    auto* group = Named(new QGroupBox(QStringLiteral("Search File Type"), this), "fileType");
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

QGroupBox* CKrelixDlg::BuildFileSize() {
    auto* group = Named(new QGroupBox(QStringLiteral("Search File Size"), this), "fileSize");
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

QToolButton* CKrelixDlg::MenuButton(const QString& text, std::span<const MenuEntry> entries,
                                    CommandId faceCommand) {
    auto* button = new QToolButton(this);
    button->setText(text);
    button->setPopupMode(QToolButton::MenuButtonPopup);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setMinimumWidth(kMenuButtonWidth);
    auto* menu = new QMenu(button);
    for (const MenuEntry& entry : entries) {
        if (entry.text == nullptr) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromUtf8(entry.text));
        const CommandId id = entry.id;
        connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    }
    button->setMenu(menu);
    // The face runs the menu's usual command; the arrow opens the menu.
    connect(button, &QToolButton::clicked, this, [this, faceCommand] { RunCommand(faceCommand); });
    return button;
}

QLayout* CKrelixDlg::BuildButtonRow() {
    aboutHelp_ =
        Named(MenuButton(QStringLiteral("About&&Help"), AboutMenu(), CommandId::Help), "aboutHelp");
    aboutHelp_->setMinimumWidth(kButtonWidth);
    setting_ = Named(new QPushButton(QStringLiteral("Setting"), this), "setting");
    export_ = Named(new QPushButton(QStringLiteral("Export"), this), "export");
    autoSelect_ =
        Named(MenuButton(QStringLiteral("Auto Select"), SelectMenu(), CommandId::SelectOldest),
              "autoSelect");
    deleteChecked_ =
        Named(MenuButton(QStringLiteral("Delete Checked"), DeleteMenu(), CommandId::RecycleChecked),
              "deleteChecked");
    search_ = Named(new QPushButton(QStringLiteral("Search"), this), "search");
    for (QPushButton* button : {setting_, export_, search_}) {
        button->setMinimumWidth(kButtonWidth);
        button->setAutoDefault(false);
    }
    connect(setting_, &QPushButton::clicked, this, &CKrelixDlg::EditSearchSettings);

    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    row->addWidget(aboutHelp_);
    row->addWidget(setting_);
    row->addSpacing(kButtonWidth / 2);
    row->addWidget(export_);
    row->addWidget(autoSelect_);
    row->addWidget(deleteChecked_);
    row->addWidget(search_);
    row->addStretch(1);
    return row;
}

}  // namespace krelix
