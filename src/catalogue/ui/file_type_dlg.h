#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>

#include "catalogue/file_type_catalogue.h"
#include "catalogue/ui/add_file_type.h"

class QMenu;
class QPushButton;

namespace krelix {

class CMutiTreeCtrl;
class Prompts;

// "Chose File Type": checks the types a search considers and edits the catalogue. Works on its
// own copy; the caller takes it back only when the dialog ends with OK (the marks are kept in
// the copy's entries as the user sets them). An empty catalogue opens as the default table.
class CFileTypeDlg : public QDialog {
    Q_OBJECT
  public:
    // The two editors the chooser opens, replaceable where no one can type.
    struct Editors {
        // A category name from an initial text; nothing on Cancel.
        std::function<std::optional<std::u16string>(QWidget* parent, const std::u16string&)>
            category;
        std::function<std::optional<FileTypeTexts>(QWidget* parent, const FileTypeTexts&)> fileType;
    };
    static Editors RealEditors(Prompts& prompts);

    CFileTypeDlg(FileTypeCatalogue catalogue, Prompts& prompts, Editors editors,
                 QWidget* parent = nullptr);
    CFileTypeDlg(FileTypeCatalogue catalogue, Prompts& prompts, QWidget* parent = nullptr);
    ~CFileTypeDlg() override;

    // Runs the chooser modally on a copy: the edited catalogue on OK, nothing otherwise.
    static std::optional<FileTypeCatalogue> Run(QWidget* parent, const FileTypeCatalogue& catalogue,
                                                Prompts& prompts);

    FileTypeCatalogue& catalogue() { return catalogue_; }
    CMutiTreeCtrl* tree() const { return tree_; }
    QMenu* contextMenu() const { return menu_; }

    // The commands, each on the tree's selection.
    void AddCategory();
    void AddFileType();
    void EditSelected();
    void DeleteSelected();
    void RestoreDefaults();

  private:
    void BuildControls();

    FileTypeCatalogue catalogue_;
    Prompts& prompts_;
    Editors editors_;
    CMutiTreeCtrl* tree_ = nullptr;
    QMenu* menu_ = nullptr;
};

}  // namespace krelix
