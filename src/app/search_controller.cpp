#include "app/search_controller.h"

#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <span>

#include "app/folder_list_box.h"
#include "app/krelix_dlg.h"
#include "app/krelix_dlg_model.h"
#include "app/search_criteria.h"
#include "app/search_request_builder.h"
#include "app/waiting_dlg.h"
#include "common/ui/prompts.h"
#include "engine/duplicate_groups.h"
#include "engine/vornex.h"

namespace krelix {

SearchController::SearchController(CKrelixDlg& window, SearchCriteria& criteria)
    : window_(window), criteria_(criteria) {
    progressTimer_.setInterval(kProgressIntervalMs);
    connect(&progressTimer_, &QTimer::timeout, this, &SearchController::ShowLatestProgress);
    connect(window_.searchButton(), &QPushButton::clicked, this, &SearchController::Search);
}

SearchController::~SearchController() {
    if (thread_.joinable()) {
        window_.model().engine().stopFlag = 1;
        thread_.join();
    }
}

void SearchController::Search() {
    if (phase_ != Phase::Idle) {
        return;
    }
    window_.searchButton()->setEnabled(false);
    const SearchCriteriaValues values = criteria_.Read();
    Prompts& prompts = window_.prompts();
    if (window_.includeList()->GetCount() == 0) {
        prompts.Inform(AppCaption(), QStringLiteral("Please Input the search path."),
                       PromptIcon::Warning);
        window_.searchButton()->setEnabled(true);
        return;
    }
    // Such a run could find nothing; the walk it would cost may be long.
    if (SizeRangeIsEmpty(values)) {
        prompts.Inform(
            AppCaption(),
            QStringLiteral("The minimum file size is larger than the maximum file size."),
            PromptIcon::Warning);
        window_.searchButton()->setEnabled(true);
        return;
    }

    Q_EMIT searchStarting();
    window_.HidePreview();
    KrelixDlgModel& model = window_.model();
    model.rows().ClearRowMarks();
    model.rows().Clear();
    model.results().Clear();
    BuildSearchRequest(values, model.catalogue(), model.request());
    model.request().progressWindow = &mailbox_;
    StartRun();
}

void SearchController::StartRun() {
    KrelixDlgModel& model = window_.model();
    CVornex& engine = model.engine();
    SearchRequest& request = model.request();
    mailbox_.Reset();
    fillStopped_ = false;
    model.rows().RestartShading();
    phase_ = Phase::Running;
    ShowWaitingDlg();
    progressTimer_.start();

    // The request and the engine belong to this thread until the outcome comes back; the UI
    // thread touches neither meanwhile.
    thread_ = std::thread([this, &engine, &request] {
        engine.Run(request);
        auto outcome = std::make_shared<Outcome>();
        outcome->records = TakeDuplicateGroups(engine.resultMap);
        outcome->filesScanned = request.filesScanned;
        QMetaObject::invokeMethod(
            this, [this, outcome] { OnEngineDone(outcome); }, Qt::QueuedConnection);
    });
}

void SearchController::ShowOutcome(std::vector<CFileItem> groups, std::int32_t filesScanned) {
    if (phase_ != Phase::Idle) {
        return;
    }
    KrelixDlgModel& model = window_.model();
    model.rows().ClearRowMarks();
    model.rows().Clear();
    model.results().Clear();
    fillStopped_ = false;
    phase_ = Phase::Running;
    ShowWaitingDlg();
    auto outcome = std::make_shared<Outcome>();
    outcome->records = std::move(groups);
    outcome->filesScanned = filesScanned;
    OnEngineDone(outcome);
}

void SearchController::ShowWaitingDlg() {
    if (!waiting_) {
        waiting_ = std::make_unique<CWaitingDlg>(&window_);
        connect(waiting_.get(), &CWaitingDlg::cancelRequested, this,
                &SearchController::OnCancelRequested);
    }
    waiting_->Clear();
    window_.setEnabled(false);
    // A disabled window disables its dialogs too; the progress window must stay usable.
    waiting_->setEnabled(true);
    waiting_->adjustSize();
    waiting_->move(window_.geometry().center() - waiting_->rect().center());
    waiting_->show();
    waiting_->raise();
    waiting_->activateWindow();
}

void SearchController::ShowLatestProgress() {
    if (const std::optional<ProgressNotice> notice = mailbox_.Take()) {
        waiting_->ShowNotice(*notice);
    }
}

void SearchController::OnEngineDone(std::shared_ptr<Outcome> outcome) {
    if (thread_.joinable()) {
        thread_.join();  // its last act was to post this call
    }
    phase_ = Phase::Filling;
    filesScanned_ = outcome->filesScanned;
    ResultSet& results = window_.model().results();
    pending_.clear();
    pending_.reserve(outcome->records.size());
    for (CFileItem& record : outcome->records) {
        pending_.push_back(results.Add(std::move(record)));
    }
    outcome->records = {};
    nextRow_ = 0;
    Q_EMIT engineFinished();
    FillSome();
}

void SearchController::FillSome() {
    fillScheduled_ = false;
    if (phase_ != Phase::Filling || asking_) {
        return;  // the Cancel question resumes the filling once answered
    }
    ResultsModel& rows = window_.model().rows();
    if (!fillStopped_ && nextRow_ < pending_.size()) {
        std::size_t end = std::min(pending_.size(), nextRow_ + fillBatchRows_);
        while (end < pending_.size() && pending_[end]->groupKey == pending_[end - 1]->groupKey) {
            ++end;
        }
        const std::size_t first = nextRow_;
        const int firstRow = rows.rowCount();
        rows.AppendRecords(std::span(pending_.data() + first, end - first));
        rows.ShadeAppendedRows(firstRow);
        nextRow_ = end;
        if (nextRow_ < pending_.size()) {
            // Between batches the window repaints and Cancel can be pressed.
            fillScheduled_ = true;
            QTimer::singleShot(0, this, &SearchController::FillSome);
        }
        Q_EMIT rowsAdded(static_cast<int>(end));
        if (fillScheduled_ || phase_ != Phase::Filling) {
            return;  // a receiver may have cancelled and finished the run meanwhile
        }
    }
    // After a stopped filling only the listed records stay in the result copy.
    ResultSet& results = window_.model().results();
    for (std::size_t row = nextRow_; row < pending_.size(); ++row) {
        results.Remove(pending_[row]);
    }
    pending_.clear();
    pending_.shrink_to_fit();
    Finish();
}

void SearchController::Finish() {
    progressTimer_.stop();
    waiting_->hide();
    window_.setEnabled(true);
    window_.searchButton()->setEnabled(true);
    KrelixDlgModel& model = window_.model();
    model.rows().RedrawAll();
    model.rows().RestartShading();
    model.request().duplicatesFound = static_cast<std::int32_t>(model.results().size());
    phase_ = Phase::Idle;

    const QString summary = QStringLiteral("Files scanned: %1 , duplicates: %2 ")
                                .arg(filesScanned_)
                                .arg(model.request().duplicatesFound);
    window_.statusLine()->setText(summary);
    window_.prompts().Inform(TitleCaption(), summary, PromptIcon::Information);
    Q_EMIT searchFinished();
}

void SearchController::OnCancelRequested() {
    if (phase_ == Phase::Idle || asking_) {
        return;
    }
    const Phase asked = phase_;
    asking_ = true;
    const bool confirmed = window_.prompts().AskOkCancel(
        TitleCaption(), QStringLiteral("Are you sure you want to cancel search process?"));
    asking_ = false;
    // A run that ended while the question was open has nothing left to stop: its groups are
    // all shown, as if the answer had come a moment later.
    if (confirmed && phase_ == asked) {
        if (phase_ == Phase::Running) {
            window_.model().engine().stopFlag = 1;
        } else {
            fillStopped_ = true;
        }
        waiting_->hide();
    }
    if (!fillScheduled_) {
        FillSome();
    }
}

}  // namespace krelix
