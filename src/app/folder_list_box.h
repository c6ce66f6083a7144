#pragma once

#include <string>
#include <vector>

#include "app/editable_list_box.h"

namespace krelix {

class Prompts;

// A folder list of the main window ("Include to Search", "Exclude from Search"). Every text
// change, typed or chosen, must name an existing folder (NormaliseFolderText); anything else is
// refused with "Invalid File Path." and the entry keeps its previous text. Texts are stored as
// typed; the search normalises them.
class CFolderListBox : public EditableListBox {
    Q_OBJECT
  public:
    explicit CFolderListBox(QWidget* parent = nullptr) : EditableListBox(parent) {}

    // Where the list's messages and folder chooser go; until set, texts are refused silently
    // and the browse button does nothing. Not owned.
    void SetPrompts(Prompts* prompts) { prompts_ = prompts; }

    void SetItemText(int index, const QString& text) override;

    // The entries that name existing folders now, normalised, in list order (repeats kept).
    std::vector<std::string> ExistingFolders() const;

  protected:
    // Chooses a folder ("Select a folder") and adds it as a new, selected entry.
    void OnBrowse() override;

  private:
    bool Accepts(const QString& text) const;

    Prompts* prompts_ = nullptr;
};

}  // namespace krelix
