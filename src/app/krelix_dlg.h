#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>

#include "app/command_id.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace krelix {

class CFolderListBox;
class CUseShGetFileInfo;
class CMFCListCtrlEx;
class KrelixDlgModel;
class Prompts;
class ResultSet;
class SearchController;
class SearchCriteria;

// The main window, "Tessmark Duplicate Finder". Shows the search criteria, the results list and
// the command buttons; what it holds lives in its KrelixDlgModel. Menu commands run the handler
// the model has for them (commands without one do nothing yet). Enter and Escape never close
// it; closing it writes the settings file.
class CKrelixDlg : public QWidget {
    Q_OBJECT
  public:
    // The modal dialogs the window opens, replaceable where no one can click.
    struct Dialogs {
        // The search settings dialog: the new word on OK, nothing otherwise.
        std::function<std::optional<std::uint32_t>(QWidget* parent, std::uint32_t flags)>
            searchSettings;
        std::function<void(QWidget* parent)> about;
    };
    static Dialogs RealDialogs();

    // Reads the settings file into the model's catalogue while it builds the window; a file
    // that cannot be read is reported once through prompts.
    CKrelixDlg(KrelixDlgModel& model, Prompts& prompts, Dialogs dialogs = RealDialogs(),
               QWidget* parent = nullptr);
    ~CKrelixDlg() override;

    KrelixDlgModel& model() const { return model_; }
    Prompts& prompts() const { return prompts_; }
    ResultSet& results() const;

    // Runs a menu command as if the user had chosen it.
    void RunCommand(CommandId id);
    // "Setting": edits the search settings word through the settings dialog.
    void EditSearchSettings();
    void ShowAbout();
    // Hides the picture preview, if there is one; a search calls it as it starts.
    void HidePreview();

    // The controls, for the commands that later act on them.
    CMFCListCtrlEx* resultsList() const { return results_; }
    CFolderListBox* includeList() const { return include_; }
    CFolderListBox* excludeList() const { return exclude_; }
    QRadioButton* typeIncludeRadio() const { return typeInclude_; }
    QRadioButton* typeExcludeRadio() const { return typeExclude_; }
    QPushButton* selectFileTypeButton() const { return selectFileType_; }
    QLineEdit* typeText() const { return typeText_; }
    QCheckBox* minSizeCheck() const { return minSizeCheck_; }
    QCheckBox* maxSizeCheck() const { return maxSizeCheck_; }
    QLineEdit* minSizeEdit() const { return minSizeEdit_; }
    QLineEdit* maxSizeEdit() const { return maxSizeEdit_; }
    QComboBox* minUnitCombo() const { return minUnit_; }
    QComboBox* maxUnitCombo() const { return maxUnit_; }
    QLabel* statusLine() const { return status_; }
    QToolButton* aboutHelpButton() const { return aboutHelp_; }
    QPushButton* settingButton() const { return setting_; }
    QPushButton* exportButton() const { return export_; }
    QToolButton* autoSelectButton() const { return autoSelect_; }
    QToolButton* deleteCheckedButton() const { return deleteChecked_; }
    QPushButton* searchButton() const { return search_; }

    // The search criteria and the Search command with its run.
    SearchCriteria* searchCriteria() const { return criteria_.get(); }
    SearchController* searchController() const { return searchRun_.get(); }

    static constexpr int kMinimumWidth = 730;
    static constexpr int kMinimumHeight = 500;

  Q_SIGNALS:
    // Every command, from a menu, a menu button's face or RunCommand, before its handler runs.
    void commandTriggered(CommandId id);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildControls();
    QGroupBox* BuildSearchPath();
    QGroupBox* BuildFileType();
    QGroupBox* BuildFileSize();
    QLayout* BuildButtonRow();
    QToolButton* MenuButton(const QString& text, std::span<const MenuEntry> entries,
                            CommandId faceCommand);
    void RegisterOwnCommands();

    KrelixDlgModel& model_;
    Prompts& prompts_;
    Dialogs dialogs_;
    std::unique_ptr<CUseShGetFileInfo> icons_;

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
    CMFCListCtrlEx* results_ = nullptr;
    QLabel* status_ = nullptr;
    QToolButton* aboutHelp_ = nullptr;
    QPushButton* setting_ = nullptr;
    QPushButton* export_ = nullptr;
    QToolButton* autoSelect_ = nullptr;
    QToolButton* deleteChecked_ = nullptr;
    QPushButton* search_ = nullptr;

    std::unique_ptr<SearchCriteria> criteria_;
    std::unique_ptr<SearchController> searchRun_;
};

}  // namespace krelix
