#include "app/window/krelix_dlg.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "app/base/program_icon.h"
#include "app/results/mfc_list_ctrl_ex.h"
#include "app/results/use_sh_get_file_info.h"
#include "app/search/hash_cache_clearing.h"
#include "app/search/search_controller.h"
#include "app/search/search_criteria.h"
#include "app/state/krelix_dlg_model.h"
#include "app/window/about_dlg.h"
#include "common/ui/prompts.h"
#include "operations/ui/desktop/shell_paths.h"
#include "preview/ui/preview_dlg.h"
#include "settings/ui/settings_dlg.h"

namespace krelix {
namespace {

QString SettingsProblemText(const SettingsProblem& problem) {
    const QString read = QStringLiteral(
                             "The settings file\n%1\ncould not be read, so Krelix starts "
                             "with an empty file-type list.\n")
                             .arg(DisplayPath(problem.path));
    if (problem.keptAs.empty()) {
        return read + QStringLiteral(
                          "It could not be renamed either, so Krelix leaves it as it is "
                          "and will not save its settings this time.");
    }
    return read + QStringLiteral(
                      "It was kept unchanged as\n%1\nand a new settings file will be "
                      "written when Krelix closes.")
                      .arg(DisplayPath(problem.keptAs));
}

}  // namespace

CKrelixDlg::Dialogs CKrelixDlg::RealDialogs() {
    Dialogs dialogs;
    dialogs.searchSettings = &CSettingsDlg::Run;
    dialogs.about = [](QWidget* parent) {
        CAboutDlg about(parent);
        about.exec();
    };
    return dialogs;
}

CKrelixDlg::CKrelixDlg(KrelixDlgModel& model, Prompts& prompts, Dialogs dialogs, QWidget* parent)
    : QWidget(parent),
      model_(model),
      prompts_(prompts),
      dialogs_(std::move(dialogs)),
      icons_(std::make_unique<CUseShGetFileInfo>()) {
    setObjectName(QStringLiteral("KrelixDlg"));
    setWindowIcon(ProgramIcon());
    setWindowTitle(QStringLiteral("Tessmark Duplicate Finder"));
    if (const auto problem = model_.LoadSettings()) {
        prompts_.Inform(AppCaption(), SettingsProblemText(*problem), PromptIcon::Warning);
    }
    criteria_ = std::make_unique<SearchCriteria>(*this, model_, prompts_);
    BuildControls();
    RegisterOwnCommands();
    searchRun_ = std::make_unique<SearchController>(model_, *criteria_, *this, prompts_);
    connect(search_, &QPushButton::clicked, searchRun_.get(), &SearchController::Search);

    ResultsModel& rows = model_.rows();
    rows.SetColourMarking(true);
    rows.SetFontMarking(true);
    rows.SetIconProvider(icons_.get());
    results_->SetResultsModel(&rows);

    // The window keeps its controls usable at 730 by 500; the window manager then stops the
    // dragged edge at that limit and leaves the opposite one where it is.
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    resize(QSize(776, 532).expandedTo(minimumSizeHint()));
}

CKrelixDlg::~CKrelixDlg() {
    // A run still going is stopped and its thread joined before any control goes.
    searchRun_.reset();
    criteria_.reset();
    // The rows outlive this window in the model; they must not ask a destroyed icon cache.
    model_.rows().SetIconProvider(nullptr);
}

ResultSet& CKrelixDlg::results() const {
    return model_.results();
}

void CKrelixDlg::RegisterOwnCommands() {
    if (!model_.HasCommandHandler(CommandId::About)) {
        model_.SetCommandHandler(CommandId::About, [this] { ShowAbout(); });
    }
    if (!model_.HasCommandHandler(CommandId::Setting)) {
        model_.SetCommandHandler(CommandId::Setting, [this] { EditSearchSettings(); });
    }
}

void CKrelixDlg::RunCommand(CommandId id) {
    Q_EMIT commandTriggered(id);
    model_.Dispatch(id);
}

void CKrelixDlg::EditSearchSettings() {
    if (!dialogs_.searchSettings) {
        return;
    }
    std::function<void()> clearHashCache;
    if (!model_.hashCachePath().empty()) {
        clearHashCache = [this] { ClearHashCache(model_.hashCachePath(), prompts_); };
    }
    if (const auto chosen = dialogs_.searchSettings(
            this, SearchSettings{model_.searchFlags(), model_.rememberHashes()}, clearHashCache)) {
        model_.setSearchFlags(chosen->flags);
        model_.setRememberHashes(chosen->rememberHashes);
    }
}

void CKrelixDlg::ShowAbout() {
    if (dialogs_.about) {
        dialogs_.about(this);
    }
}

void CKrelixDlg::HidePreview() {
    // Whoever shows the preview makes it a child of this window.
    for (CPreviewDlg* preview : findChildren<CPreviewDlg*>(Qt::FindDirectChildrenOnly)) {
        preview->HidePreview();
    }
}

void CKrelixDlg::SetRunning(bool running) {
    setEnabled(!running);
}

void CKrelixDlg::SetSearchEnabled(bool enabled) {
    search_->setEnabled(enabled);
}

void CKrelixDlg::ShowSummary(const QString& summary) {
    status_->setText(summary);
}

QPoint CKrelixDlg::ProgressCentre() const {
    return geometry().center();
}

void CKrelixDlg::keyPressEvent(QKeyEvent* event) {
    // Whatever control has the focus, Enter and Escape end here and close nothing.
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            event->accept();
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void CKrelixDlg::closeEvent(QCloseEvent* event) {
    // A running search disables the window; it cannot be closed until the search is over.
    if (!isEnabled()) {
        event->ignore();
        return;
    }
    model_.SaveSettings();
    event->accept();
}

}  // namespace krelix
