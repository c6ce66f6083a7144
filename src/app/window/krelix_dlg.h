#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>

#include "app/base/command_id.h"
#include "app/search/search_view.h"
#include "settings/ui/settings_dlg.h"

class QLabel;
class QPushButton;
class QToolButton;

namespace krelix {

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
// it; closing it writes the settings file. It is the view its search runs in.
class CKrelixDlg : public QWidget, public SearchView {
    Q_OBJECT
  public:
    // The modal dialogs the window opens, replaceable where no one can click.
    struct Dialogs {
        // The search settings dialog: the new settings on OK, nothing otherwise; clearHashCache
        // is empty when there is no cache to clear.
        std::function<std::optional<SearchSettings>(QWidget* parent, SearchSettings settings,
                                                    std::function<void()> clearHashCache)>
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
    void HidePreview() override;

    // The controls, for the commands that later act on them; the criteria controls are the
    // search criteria's.
    CMFCListCtrlEx* resultsList() const { return results_; }
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
    void SetRunning(bool running) override;
    void SetSearchEnabled(bool enabled) override;
    void ShowSummary(const QString& summary) override;
    QWidget* ProgressParent() override { return this; }
    QPoint ProgressCentre() const override;

    void BuildControls();
    QLayout* BuildButtonRow();
    QToolButton* MenuButton(const QString& text, std::span<const MenuEntry> entries,
                            CommandId faceCommand);
    void RegisterOwnCommands();

    KrelixDlgModel& model_;
    Prompts& prompts_;
    Dialogs dialogs_;
    std::unique_ptr<CUseShGetFileInfo> icons_;

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
