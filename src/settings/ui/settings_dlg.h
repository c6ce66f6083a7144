#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class QCheckBox;
class QPushButton;

namespace krelix {

// What the settings dialog edits: the search settings word and whether file hashes are kept
// between searches.
struct SearchSettings {
    std::uint32_t flags = 0;
    bool rememberHashes = true;
};

// "Search Settings": the ten search options as check boxes, and the hash cache's box and
// button. Works on its own copy; the caller takes the result only when the dialog ends with OK.
class CSettingsDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CSettingsDlg(std::uint32_t flags, QWidget* parent = nullptr);
    // clearHashCache runs at once when "Clear Hash Cache" is pressed (it asks first); the button
    // is disabled without it.
    CSettingsDlg(SearchSettings settings, std::function<void()> clearHashCache,
                 QWidget* parent = nullptr);

    // Runs the dialog modally: the new settings on OK, nothing on Cancel, Escape or the close box.
    static std::optional<SearchSettings> Run(QWidget* parent, SearchSettings settings,
                                             std::function<void()> clearHashCache);

    // The word OK gave; the word passed in until then.
    std::uint32_t flags() const { return settings_.flags; }
    SearchSettings settings() const { return settings_; }
    // The box of an option bit, or null.
    QCheckBox* box(std::uint32_t flag) const;
    QCheckBox* rememberHashesBox() const { return rememberHashes_; }
    QPushButton* clearHashCacheButton() const { return clearHashCache_; }
    QPushButton* restoreDefaultsButton() const { return restoreDefaults_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

    void accept() override;

  private:
    void RestoreDefaults();

    SearchSettings settings_;
    std::vector<QCheckBox*> boxes_;  // in SearchOptions() order
    QCheckBox* rememberHashes_;
    QPushButton* clearHashCache_;
    QPushButton* restoreDefaults_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

}  // namespace krelix
