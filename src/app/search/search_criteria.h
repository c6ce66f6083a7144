#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <optional>

#include "app/search/search_request_builder.h"
#include "catalogue/file_type_catalogue.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace krelix {

class CFolderListBox;
class KrelixDlgModel;
class Prompts;

// The search criteria boxes of the main window: "Search Path" with the two folder lists,
// "Search File Type" with the radios, the "Select File Type" button and the type text, and
// "Search File Size" with the two limits; and the reading of every criterion when a search
// starts. The boxes are children of the window, which lays them out. UI thread only.
class SearchCriteria : public QObject {
    Q_OBJECT
  public:
    // Runs the file-type chooser on a copy of the catalogue: the new catalogue on OK.
    using FileTypeChooser = std::function<std::optional<FileTypeCatalogue>(
        QWidget* parent, const FileTypeCatalogue& catalogue)>;

    // Builds the boxes in window; the model's catalogue and search word are the criteria's.
    // All three must outlive this object.
    SearchCriteria(QWidget& window, KrelixDlgModel& model, Prompts& prompts);

    QGroupBox* searchPathBox() const { return searchPath_; }
    QGroupBox* fileTypeBox() const { return fileType_; }
    QGroupBox* fileSizeBox() const { return fileSize_; }

    // The criteria as the controls show them. The folder lists give their existing folders
    // only. A checked size whose edit holds no number is reported ("Please enter an unsigned
    // integer.") and counts with its last accepted value, which its edit shows again.
    SearchCriteriaValues Read();
    // Whether "Include to Search" has an entry, whether or not its folder still exists.
    bool HasIncludeEntry() const;

    // "Select File Type": on OK the chooser's catalogue, marks included, replaces the window's
    // and the type text becomes its pattern text; otherwise nothing changes.
    void SelectFileType();
    void SetFileTypeChooser(FileTypeChooser chooser) { chooser_ = std::move(chooser); }

    CFolderListBox* includeList() const { return include_; }
    CFolderListBox* excludeList() const { return exclude_; }
    QRadioButton* typeExcludeRadio() const { return typeExclude_; }
    QPushButton* selectFileTypeButton() const { return selectFileType_; }
    QLineEdit* typeText() const { return typeText_; }
    QCheckBox* minSizeCheck() const { return minSizeCheck_; }
    QCheckBox* maxSizeCheck() const { return maxSizeCheck_; }
    QLineEdit* minSizeEdit() const { return minSizeEdit_; }
    QLineEdit* maxSizeEdit() const { return maxSizeEdit_; }
    QComboBox* minUnitCombo() const { return minUnit_; }
    QComboBox* maxUnitCombo() const { return maxUnit_; }

  private:
    QGroupBox* BuildSearchPath();
    QGroupBox* BuildFileType();
    QGroupBox* BuildFileSize();
    std::uint64_t ReadSize(QLineEdit* edit, std::uint64_t& lastAccepted);

    QWidget& window_;
    KrelixDlgModel& model_;
    Prompts& prompts_;
    FileTypeChooser chooser_;
    std::uint64_t lastMin_ = 0;
    std::uint64_t lastMax_ = 0;

    CFolderListBox* include_ = nullptr;
    CFolderListBox* exclude_ = nullptr;
    QRadioButton* typeInclude_ = nullptr;
    QRadioButton* typeExclude_ = nullptr;
    QPushButton* selectFileType_ = nullptr;
    QLineEdit* typeText_ = nullptr;
    QCheckBox* minSizeCheck_ = nullptr;
    QCheckBox* maxSizeCheck_ = nullptr;
    QLineEdit* minSizeEdit_ = nullptr;
    QLineEdit* maxSizeEdit_ = nullptr;
    QComboBox* minUnit_ = nullptr;
    QComboBox* maxUnit_ = nullptr;
    QGroupBox* searchPath_ = nullptr;
    QGroupBox* fileType_ = nullptr;
    QGroupBox* fileSize_ = nullptr;
};

}  // namespace krelix
