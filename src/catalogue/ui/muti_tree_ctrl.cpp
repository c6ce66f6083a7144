#include "catalogue/ui/muti_tree_ctrl.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QStyledItemDelegate>

#include "catalogue/check_marks.h"
#include "catalogue/file_type_catalogue.h"
#include "catalogue/type_pattern.h"

namespace krelix {
namespace {

constexpr int kEntryRole = Qt::UserRole + 1;

// Makes the delegate's option set-up reachable, so a box can be found where it is drawn.
class MarkDelegate final : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::initStyleOption;
    using QStyledItemDelegate::QStyledItemDelegate;
};

void* EntryOf(const QTreeWidgetItem* item) {
    return item->data(0, kEntryRole).value<void*>();
}

QTreeWidgetItem* MakeItem(void* entry, bool checked) {
    auto* item = new QTreeWidgetItem;
    // Not user-checkable: the view would invert the box itself, without the spreading.
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    item->setData(0, kEntryRole, QVariant::fromValue(entry));
    item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    return item;
}

}  // namespace

CMutiTreeCtrl::CMutiTreeCtrl(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemDelegate(new MarkDelegate(this));
    setUniformRowHeights(true);
    // Long descriptions stay whole: the column grows with its widest label and the tree
    // scrolls sideways rather than cutting them.
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
}

void CMutiTreeCtrl::Fill(FileTypeCatalogue& catalogue) {
    clear();
    for (CFileCategory& category : catalogue.Categories()) {
        QTreeWidgetItem* categoryItem = AppendCategory(category);
        for (CFileType& type : category.Types()) {
            AppendType(categoryItem, type);
        }
    }
    expandAll();
    if (QTreeWidgetItem* first = topLevelItem(0)) {
        SelectItem(first);
    }
}

QTreeWidgetItem* CMutiTreeCtrl::AppendCategory(CFileCategory& category) {
    QTreeWidgetItem* item = MakeItem(&category, category.IsChecked());
    RefreshLabel(item);
    addTopLevelItem(item);
    return item;
}

QTreeWidgetItem* CMutiTreeCtrl::AppendType(QTreeWidgetItem* categoryItem, CFileType& type) {
    QTreeWidgetItem* item = MakeItem(&type, type.IsChecked());
    categoryItem->addChild(item);
    RefreshLabel(item);
    return item;
}

CFileCategory* CMutiTreeCtrl::CategoryOf(const QTreeWidgetItem* item) {
    const QTreeWidgetItem* categoryItem = IsCategoryItem(item) ? item : item->parent();
    return static_cast<CFileCategory*>(EntryOf(categoryItem));
}

CFileType* CMutiTreeCtrl::TypeOf(const QTreeWidgetItem* item) {
    return IsCategoryItem(item) ? nullptr : static_cast<CFileType*>(EntryOf(item));
}

void CMutiTreeCtrl::RefreshLabel(QTreeWidgetItem* item) {
    const QString label = IsCategoryItem(item)
                              ? QString::fromStdU16String(CategoryOf(item)->GetName())
                              : QString::fromStdU16String(TypeLabel(
                                    TypeOf(item)->GetPattern(), TypeOf(item)->GetDescription()));
    item->setText(0, label);
    // A label wider than the visible part is still readable without scrolling.
    item->setToolTip(0, label);
}

QTreeWidgetItem* CMutiTreeCtrl::SelectedItem() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? nullptr : selected.front();
}

void CMutiTreeCtrl::SelectItem(QTreeWidgetItem* item) {
    if (item == nullptr) {
        clearSelection();
        setCurrentItem(nullptr);
        return;
    }
    setCurrentItem(item);
    item->setSelected(true);
    scrollToItem(item);
}

void CMutiTreeCtrl::ToggleMark(QTreeWidgetItem* item) {
    if (item == nullptr) {
        return;
    }
    CFileCategory& category = *CategoryOf(item);
    if (CFileType* type = TypeOf(item)) {
        CheckMarks::ToggleType(category, *type);
    } else {
        CheckMarks::ToggleCategory(category);
    }
    ShowMarks(IsCategoryItem(item) ? item : item->parent());
    Q_EMIT marksChanged();
}

void CMutiTreeCtrl::ShowMarks(QTreeWidgetItem* categoryItem) {
    const auto show = [](QTreeWidgetItem* item, bool checked) {
        item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    };
    show(categoryItem, CategoryOf(categoryItem)->IsChecked());
    for (int i = 0; i < categoryItem->childCount(); ++i) {
        QTreeWidgetItem* child = categoryItem->child(i);
        show(child, TypeOf(child)->IsChecked());
    }
}

QRect CMutiTreeCtrl::CheckBoxRect(const QTreeWidgetItem* item) const {
    const QModelIndex index = indexFromItem(item);
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    static_cast<MarkDelegate*>(itemDelegate())->initStyleOption(&option, index);
    return style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, this);
}

void CMutiTreeCtrl::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    QTreeWidgetItem* item = itemAt(at);
    if (event->button() == Qt::LeftButton) {
        SelectItem(item);
    }
    // Focus, expanding and collapsing go on as usual; the box is this class's business.
    QTreeWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && item != nullptr && CheckBoxRect(item).contains(at)) {
        ToggleMark(item);
    }
}

void CMutiTreeCtrl::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        ToggleMark(SelectedItem());
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void CMutiTreeCtrl::contextMenuEvent(QContextMenuEvent* event) {
    if (QTreeWidgetItem* item = itemAt(event->pos())) {
        SelectItem(item);
    }
    if (contextMenu_ != nullptr) {
        contextMenu_->popup(event->globalPos());
    }
    event->accept();
}

}  // namespace krelix
