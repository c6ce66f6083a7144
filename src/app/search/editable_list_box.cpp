#include "app/search/editable_list_box.h"

#include <QAbstractItemDelegate>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QVBoxLayout>

namespace krelix {
namespace {

// Hands a finished in-place edit to the list's SetItemText instead of storing it directly.
class RoutingDelegate final : public QStyledItemDelegate {
  public:
    explicit RoutingDelegate(EditableListBox* owner) : QStyledItemDelegate(owner), owner_(owner) {}

    void setModelData(QWidget* editor, QAbstractItemModel*,
                      const QModelIndex& index) const override {
        const auto* line = qobject_cast<QLineEdit*>(editor);
        if (line == nullptr || line->text() == index.data().toString()) {
            return;
        }
        if (!line->text().isEmpty()) {
            owner_->SetItemText(index.row(), line->text());
        }
    }

  private:
    EditableListBox* owner_;
};

QToolButton* MakeButton(QWidget* parent, const char* name, const QString& themeIcon,
                        QStyle::StandardPixmap fallback, const QString& tip) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(QIcon::fromTheme(themeIcon, parent->style()->standardIcon(fallback)));
    button->setToolTip(tip);
    button->setAutoRaise(true);
    button->setIconSize(QSize(14, 14));
    return button;
}

}  // namespace

EditableListBox::EditableListBox(QWidget* parent) : QWidget(parent) {
    caption_ = new QLabel(this);
    browse_ = MakeButton(this, "browse", QStringLiteral("folder-open"), QStyle::SP_DirOpenIcon,
                         tr("Browse"));
    new_ = MakeButton(this, "new", QStringLiteral("list-add"), QStyle::SP_FileDialogNewFolder,
                      tr("New"));
    remove_ = MakeButton(this, "remove", QStringLiteral("list-remove"),
                         QStyle::SP_DialogDiscardButton, tr("Delete"));
    up_ = MakeButton(this, "up", QStringLiteral("go-up"), QStyle::SP_ArrowUp, tr("Move Up"));
    down_ =
        MakeButton(this, "down", QStringLiteral("go-down"), QStyle::SP_ArrowDown, tr("Move Down"));
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("entries"));
    list_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    list_->setItemDelegate(new RoutingDelegate(this));

    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->setSpacing(0);
    header->addWidget(caption_, 1);
    for (QToolButton* button : {browse_, new_, remove_, up_, down_}) {
        header->addWidget(button);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    layout->addLayout(header);
    layout->addWidget(list_, 1);

    connect(browse_, &QToolButton::clicked, this, [this] { OnBrowse(); });
    connect(new_, &QToolButton::clicked, this, &EditableListBox::OnNew);
    connect(remove_, &QToolButton::clicked, this, &EditableListBox::OnRemove);
    connect(up_, &QToolButton::clicked, this, [this] { OnMove(-1); });
    connect(down_, &QToolButton::clicked, this, [this] { OnMove(1); });
    connect(list_->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
            &EditableListBox::DropEmptyEntries);
}

void EditableListBox::SetCaption(const QString& caption) {
    caption_->setText(caption);
}

QString EditableListBox::Caption() const {
    return caption_->text();
}

int EditableListBox::GetCount() const {
    return list_->count();
}

QString EditableListBox::GetItemText(int index) const {
    const QListWidgetItem* item = list_->item(index);
    return item == nullptr ? QString() : item->text();
}

int EditableListBox::AddItem(const QString& text) {
    auto* item = new QListWidgetItem(text, list_);
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    return list_->count() - 1;
}

void EditableListBox::RemoveItem(int index) {
    delete list_->takeItem(index);
}

void EditableListBox::SelectItem(int index) {
    if (index < 0 || index >= list_->count()) {
        list_->setCurrentRow(-1);
        list_->clearSelection();
        return;
    }
    list_->setCurrentRow(index);
}

int EditableListBox::GetSelItem() const {
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    return selected.isEmpty() ? -1 : list_->row(selected.front());
}

void EditableListBox::SetItemText(int index, const QString& text) {
    if (QListWidgetItem* item = list_->item(index)) {
        item->setText(text);
    }
}

void EditableListBox::OnNew() {
    const int index = AddItem(QString());
    SelectItem(index);
    list_->editItem(list_->item(index));
}

void EditableListBox::OnRemove() {
    const int index = GetSelItem();
    if (index >= 0) {
        RemoveItem(index);
    }
}

void EditableListBox::OnMove(int step) {
    const int from = GetSelItem();
    const int to = from + step;
    if (from < 0 || to < 0 || to >= list_->count()) {
        return;
    }
    QListWidgetItem* item = list_->takeItem(from);
    list_->insertItem(to, item);
    SelectItem(to);
}

// A new entry whose edit ended without an accepted text is not kept.
void EditableListBox::DropEmptyEntries() {
    for (int i = list_->count() - 1; i >= 0; --i) {
        if (list_->item(i)->text().isEmpty()) {
            RemoveItem(i);
        }
    }
}

}  // namespace krelix
