#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QListWidget;
class QToolButton;

namespace krelix {

// An editable list of texts under a caption, with browse, new, remove, move-up and move-down
// buttons and in-place editing. Every text change, typed or chosen, goes through SetItemText,
// which a derived list may refuse. Texts are kept in the user's order.
class EditableListBox : public QWidget {
    Q_OBJECT
  public:
    explicit EditableListBox(QWidget* parent = nullptr);

    void SetCaption(const QString& caption);
    QString Caption() const;

    int GetCount() const;
    QString GetItemText(int index) const;
    // Appends an entry as given (no check) and returns its index.
    int AddItem(const QString& text);
    void RemoveItem(int index);
    // -1 clears the selection.
    void SelectItem(int index);
    // The selected entry, or -1.
    int GetSelItem() const;

    // Stores the text as the entry's text. Derived lists check it first.
    virtual void SetItemText(int index, const QString& text);

    QListWidget* listWidget() const { return list_; }
    QToolButton* browseButton() const { return browse_; }
    QToolButton* newButton() const { return new_; }
    QToolButton* upButton() const { return up_; }

  protected:
    // The browse button. Nothing here; derived lists choose a text.
    virtual void OnBrowse() {}

  private:
    void OnNew();
    void OnRemove();
    void OnMove(int step);
    void DropEmptyEntries();

    QLabel* caption_;
    QListWidget* list_;
    QToolButton* browse_;
    QToolButton* new_;
    QToolButton* remove_;
    QToolButton* up_;
    QToolButton* down_;
};

}  // namespace krelix
