// Building the main window's controls and their layout.
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/base/object_name.h"
#include "app/results/mfc_list_ctrl_ex.h"
#include "app/search/search_criteria.h"
#include "app/window/krelix_dlg.h"

namespace krelix {
namespace {

// Narrow buttons of the bottom row and the wide menu buttons, in pixels.
constexpr int kButtonWidth = 95;
constexpr int kMenuButtonWidth = 120;

}  // namespace

void CKrelixDlg::BuildControls() {
    auto* top = new QHBoxLayout;
    top->addWidget(criteria_->searchPathBox(), 1);
    // The type and size frames form one column of one width, which follows the right edge.
    QGroupBox* type = criteria_->fileTypeBox();
    QGroupBox* size = criteria_->fileSizeBox();
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
    // A text field with the focus keeps Ctrl+Z for its own text.
    auto* undo = new QShortcut(QKeySequence::Undo, this);
    connect(undo, &QShortcut::activated, this, [this] { RunCommand(CommandId::UndoLastCommand); });

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
        if (entry.id == CommandId::UndoLastCommand) {
            // Shown beside the text; the window's own shortcut does the work.
            action->setShortcut(QKeySequence::Undo);
            action->setShortcutContext(Qt::WidgetShortcut);
        }
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
