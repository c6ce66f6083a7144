#pragma once

#include <QDialog>
#include <cstdint>
#include <optional>
#include <vector>

class QCheckBox;
class QPushButton;

namespace krelix {

// "Search Settings": the ten search options as check boxes. Works on its own copy of the word;
// the caller takes the result only when the dialog ends with OK.
class CSettingsDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CSettingsDlg(std::uint32_t flags, QWidget* parent = nullptr);

    // Runs the dialog modally: the new word on OK, nothing on Cancel, Escape or the close box.
    static std::optional<std::uint32_t> Run(QWidget* parent, std::uint32_t flags);

    // The word OK gave; the word passed in until then.
    std::uint32_t flags() const { return flags_; }
    // The box of an option bit, or null.
    QCheckBox* box(std::uint32_t flag) const;
    QPushButton* restoreDefaultsButton() const { return restoreDefaults_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

    void accept() override;

  private:
    void RestoreDefaults();

    std::uint32_t flags_;
    std::vector<QCheckBox*> boxes_;  // in SearchOptions() order
    QPushButton* restoreDefaults_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

}  // namespace krelix
