#pragma once

#include "app/editable_list_box.h"

namespace krelix {

// A folder list of the main window ("Include to Search", "Exclude from Search"). Checking a
// typed path and choosing a folder with the browse button belong to the search criteria and
// are added there; until then texts are stored as typed.
class CFolderListBox : public EditableListBox {
    Q_OBJECT
  public:
    explicit CFolderListBox(QWidget* parent = nullptr) : EditableListBox(parent) {}
};

}  // namespace krelix
