#pragma once

#include <QTreeWidget>

class QMenu;

namespace krelix {

class CFileCategory;
class CFileType;
class FileTypeCatalogue;

// The chooser's two-level check-box tree: one top-level item per category, one child per type.
// Every item holds a pointer to its catalogue entry (entries never move while others are added
// or removed), and its box shows the entry's mark. A press on a box, or Space on the selected
// item, inverts the mark and spreads it by CheckMarks; the tree never toggles a box by itself.
class CMutiTreeCtrl : public QTreeWidget {
    Q_OBJECT
  public:
    explicit CMutiTreeCtrl(QWidget* parent = nullptr);

    // Rebuilds every item from the catalogue, expands all, selects the first category.
    void Fill(FileTypeCatalogue& catalogue);
    QTreeWidgetItem* AppendCategory(CFileCategory& category);
    QTreeWidgetItem* AppendType(QTreeWidgetItem* categoryItem, CFileType& type);

    static bool IsCategoryItem(const QTreeWidgetItem* item) { return item->parent() == nullptr; }
    // The item's category, or the category of a type item.
    static CFileCategory* CategoryOf(const QTreeWidgetItem* item);
    // Null for a category item.
    static CFileType* TypeOf(const QTreeWidgetItem* item);
    // Sets the item's text from its entry.
    static void RefreshLabel(QTreeWidgetItem* item);

    // The selected item, or null.
    QTreeWidgetItem* SelectedItem() const;
    void SelectItem(QTreeWidgetItem* item);
    // Inverts the item's mark with its spreading, as a click on its box does.
    void ToggleMark(QTreeWidgetItem* item);
    // Where the item's box is drawn, in viewport coordinates.
    QRect CheckBoxRect(const QTreeWidgetItem* item) const;

    // Shown on a right click, after the item under the pointer is selected. Not owned.
    void SetContextMenu(QMenu* menu) { contextMenu_ = menu; }

  Q_SIGNALS:
    void marksChanged();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    static void ShowMarks(QTreeWidgetItem* categoryItem);

    QMenu* contextMenu_ = nullptr;
};

}  // namespace krelix
