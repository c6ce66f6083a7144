#pragma once

#include <QDialog>
#include <optional>
#include <string>

class QLineEdit;
class QPushButton;

namespace krelix {

class Prompts;

// "Add category": one category name, also used to rename one. OK with an empty name is refused
// with "Please Input the category name." and the dialog stays open.
class CCategoryDlg : public QDialog {
    Q_OBJECT
  public:
    CCategoryDlg(const std::u16string& name, Prompts& prompts, QWidget* parent = nullptr);

    // Runs modally: the name on OK, nothing otherwise.
    static std::optional<std::u16string> Run(QWidget* parent, const std::u16string& name,
                                             Prompts& prompts);

    std::u16string name() const;
    QLineEdit* nameEdit() const { return name_; }
    QPushButton* okButton() const { return ok_; }

    void accept() override;

  private:
    Prompts& prompts_;
    QLineEdit* name_;
    QPushButton* ok_;
};

}  // namespace krelix
