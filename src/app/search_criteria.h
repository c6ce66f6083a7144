#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <optional>

#include "app/search_request_builder.h"
#include "catalogue/file_type_catalogue.h"

class QLineEdit;
class QWidget;

namespace krelix {

class CKrelixDlg;

// The search criteria controls of the main window: the two folder lists with their checks and
// folder chooser, the "Select File Type" button with the type text, and the reading of every
// criterion when a search starts. UI thread only.
class SearchCriteria : public QObject {
    Q_OBJECT
  public:
    // Runs the file-type chooser on a copy of the catalogue: the new catalogue on OK.
    using FileTypeChooser = std::function<std::optional<FileTypeCatalogue>(
        QWidget* parent, const FileTypeCatalogue& catalogue)>;

    explicit SearchCriteria(CKrelixDlg& window);

    // The criteria as the controls show them. The folder lists give their existing folders
    // only. A checked size whose edit holds no number is reported ("Please enter an unsigned
    // integer.") and counts with its last accepted value, which its edit shows again.
    SearchCriteriaValues Read();

    // "Select File Type": on OK the chooser's catalogue, marks included, replaces the window's
    // and the type text becomes its pattern text; otherwise nothing changes.
    void SelectFileType();
    void SetFileTypeChooser(FileTypeChooser chooser) { chooser_ = std::move(chooser); }

  private:
    std::uint64_t ReadSize(QLineEdit* edit, std::uint64_t& lastAccepted);

    CKrelixDlg& window_;
    FileTypeChooser chooser_;
    std::uint64_t lastMin_ = 0;
    std::uint64_t lastMax_ = 0;
};

}  // namespace krelix
