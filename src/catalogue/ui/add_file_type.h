#pragma once

#include <QDialog>
#include <optional>
#include <string>

class QLineEdit;
class QPushButton;

namespace krelix {

class Prompts;

// A file type's two texts as the editor hands them back.
struct FileTypeTexts {
    std::u16string pattern;
    std::u16string description;
};

// "Add File Type": a pattern and a description, also used to edit a type. OK refuses an empty
// pattern with "Please Input the file type."; otherwise the pattern is normalised
// (NormaliseTypePattern), shown as stored, and the dialog ends. The description may be empty.
class CAddFileType : public QDialog {
    Q_OBJECT
  public:
    CAddFileType(const FileTypeTexts& texts, Prompts& prompts, QWidget* parent = nullptr);

    // Runs modally: the texts on OK, nothing otherwise.
    static std::optional<FileTypeTexts> Run(QWidget* parent, const FileTypeTexts& texts,
                                            Prompts& prompts);

    FileTypeTexts texts() const;
    QLineEdit* patternEdit() const { return pattern_; }
    QPushButton* okButton() const { return ok_; }

    void accept() override;

  private:
    Prompts& prompts_;
    QLineEdit* pattern_;
    QLineEdit* description_;
    QPushButton* ok_;
};

}  // namespace krelix
