#pragma once

#include <string>
#include <vector>

#include "app/search/editable_list_box.h"

class QMenu;

namespace krelix {

class Prompts;

// A folder list of the main window ("Include to Search", "Exclude from Search"). Every text
// change, typed or chosen, must name an existing folder (NormaliseFolderText); anything else is
// refused with "Invalid File Path." and the entry keeps its previous text. Texts are stored as
// typed; the search normalises them. With protection enabled an entry can be marked protected
// (its context menu; shown with a lock), for as long as the program runs.
class CFolderListBox : public EditableListBox {
    Q_OBJECT
  public:
    explicit CFolderListBox(QWidget* parent = nullptr);

    // Where the list's messages and folder chooser go; until set, texts are refused silently
    // and the browse button does nothing. Not owned.
    void SetPrompts(Prompts* prompts) { prompts_ = prompts; }

    void SetItemText(int index, const QString& text) override;

    // The entries that name existing folders now, normalised, in list order (repeats kept).
    std::vector<std::string> ExistingFolders() const;

    // Offers "Protect Folder" in each entry's context menu.
    void EnableProtection();
    void SetProtected(int index, bool on);
    bool IsProtected(int index) const;
    // The protected entries that name existing folders now, normalised, in list order.
    std::vector<std::string> ProtectedFolders() const;
    // The context menu of the entry (null when protection is not enabled), for the caller to
    // run; its one action toggles the entry's protection.
    QMenu* EntryMenu(int index);

  Q_SIGNALS:
    // The protected folders may have changed: an entry was marked or unmarked, or an entry's
    // text changed or went.
    void protectedFoldersChanged();

  protected:
    // Chooses a folder ("Select a folder") and adds it as a new, selected entry.
    void OnBrowse() override;

  private:
    bool Accepts(const QString& text) const;
    std::vector<std::string> NormalisedEntries(bool protectedOnly) const;

    Prompts* prompts_ = nullptr;
    QMenu* entryMenu_ = nullptr;
};

}  // namespace krelix
