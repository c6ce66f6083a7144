#include "app/search/search_controller.h"

#include <QElapsedTimer>
#include <algorithm>
#include <ctime>
#include <span>

#include "app/search/search_criteria.h"
#include "app/search/search_notes.h"
#include "app/search/search_request_builder.h"
#include "app/search/search_view.h"
#include "app/search/waiting_dlg.h"
#include "app/state/krelix_dlg_model.h"
#include "cache/hash_cache.h"
#include "common/ui/prompts.h"
#include "engine/duplicate_groups.h"
#include "engine/vornex.h"

namespace krelix {

SearchController::SearchController(KrelixDlgModel& model, SearchCriteria& criteria,
                                   SearchView& view, Prompts& prompts)
    : model_(model), criteria_(criteria), view_(view), prompts_(prompts) {
    progressTimer_.setInterval(kProgressIntervalMs);
    connect(&progressTimer_, &QTimer::timeout, this, &SearchController::ShowLatestProgress);
}

SearchController::~SearchController() {
    if (thread_.joinable()) {
        model_.engine().stopFlag = 1;
        thread_.join();
    }
}

void SearchController::Search() {
    if (phase_ != Phase::Idle) {
        return;
    }
    view_.SetSearchEnabled(false);
    const SearchCriteriaValues values = criteria_.Read();
    if (!criteria_.HasIncludeEntry()) {
        prompts_.Inform(AppCaption(), QStringLiteral("Please Input the search path."),
                        PromptIcon::Warning);
        view_.SetSearchEnabled(true);
        return;
    }
    // Such a run could find nothing; the walk it would cost may be long.
    if (SizeRangeIsEmpty(values)) {
        prompts_.Inform(
            AppCaption(),
            QStringLiteral("The minimum file size is larger than the maximum file size."),
            PromptIcon::Warning);
        view_.SetSearchEnabled(true);
        return;
    }

    Q_EMIT searchStarting();
    view_.HidePreview();
    model_.rows().ClearRowMarks();
    model_.rows().Clear();
    model_.results().Clear();
    BuildSearchRequest(values, model_.catalogue(), model_.request());
    model_.request().progressWindow = &mailbox_;
    StartRun();
}

void SearchController::StartRun() {
    CVornex& engine = model_.engine();
    SearchRequest& request = model_.request();
    mailbox_.Reset();
    fillStopped_ = false;
    model_.rows().RestartShading();
    phase_ = Phase::Running;
    ShowWaitingDlg();
    progressTimer_.start();

    // The request and the engine belong to this thread until the outcome comes back; the UI
    // thread touches neither meanwhile.
    // The cache is opened on the search thread: another program's lock may hold it a moment.
    thread_ = std::thread([this, &engine, &request, cachePath = model_.searchCachePath()] {
        auto outcome = std::make_shared<Outcome>();
        std::unique_ptr<HashCache> cache;
        if (!cachePath.empty()) {
            cache = HashCache::Open(cachePath, std::time(nullptr), outcome->cacheNotice);
        }
        engine.Run(request, cache.get());
        if (cache) {
            outcome->cacheNotice += cache->TakeNotice();
            cache.reset();
        }
        outcome->records = TakeDuplicateGroups(engine.resultMap);
        outcome->filesScanned = request.filesScanned;
        outcome->skippedStartFolders = request.skippedStartFolders;
        outcome->unreadableFiles = request.unreadableFiles;
        outcome->unreadableFolders = request.unreadableFolders;
        QMetaObject::invokeMethod(
            this, [this, outcome] { OnEngineDone(outcome); }, Qt::QueuedConnection);
    });
}

void SearchController::ShowOutcome(std::vector<CFileItem> groups, std::int32_t filesScanned) {
    if (phase_ != Phase::Idle) {
        return;
    }
    model_.rows().ClearRowMarks();
    model_.rows().Clear();
    model_.results().Clear();
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
        waiting_ = std::make_unique<CWaitingDlg>(view_.ProgressParent());
        connect(waiting_.get(), &CWaitingDlg::cancelRequested, this,
                &SearchController::OnCancelRequested);
    }
    waiting_->Clear();
    view_.SetRunning(true);
    // A disabled window disables its dialogs too; the progress window must stay usable.
    waiting_->setEnabled(true);
    waiting_->adjustSize();
    waiting_->move(view_.ProgressCentre() - waiting_->rect().center());
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
    notes_ = SearchNotes(outcome->skippedStartFolders, outcome->unreadableFiles,
                         outcome->unreadableFolders);
    cacheNotice_ = QString::fromStdString(outcome->cacheNotice);
    if (!cacheNotice_.isEmpty()) {
        notes_ << cacheNotice_;
    }
    ResultSet& results = model_.results();
    pending_.clear();
    results.AddGrouped(std::move(outcome->records), pending_);
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
    ResultsModel& rows = model_.rows();
    QElapsedTimer slice;
    slice.start();
    while (!fillStopped_ && nextRow_ < pending_.size()) {
        std::size_t end = std::min(pending_.size(), nextRow_ + fillBatchRows_);
        while (end < pending_.size() && pending_[end]->groupKey == pending_[end - 1]->groupKey) {
            ++end;
        }
        const std::size_t first = nextRow_;
        const int firstRow = rows.rowCount();
        rows.AppendRecords(std::span(pending_.data() + first, end - first));
        rows.ShadeAppendedRows(firstRow);
        nextRow_ = end;
        // A receiver may press Cancel; this loop then goes on by itself, not called anew.
        fillScheduled_ = true;
        Q_EMIT rowsAdded(static_cast<int>(end));
        fillScheduled_ = false;
        if (phase_ != Phase::Filling) {
            return;  // a receiver cancelled and finished the run meanwhile
        }
        if (nextRow_ < pending_.size() && slice.elapsed() >= kFillSliceMs) {
            // Between slices the window repaints and Cancel can be pressed. A repaint costs
            // about as much as a batch, so batches share a slice.
            fillScheduled_ = true;
            QTimer::singleShot(0, this, &SearchController::FillSome);
            return;
        }
    }
    // After a stopped filling only the listed records stay in the result copy.
    model_.results().RemoveAll(std::span(pending_).subspan(nextRow_));
    pending_.clear();
    pending_.shrink_to_fit();
    Finish();
}

void SearchController::Finish() {
    progressTimer_.stop();
    waiting_->hide();
    view_.SetRunning(false);
    view_.SetSearchEnabled(true);
    model_.rows().RedrawAll();
    model_.rows().RestartShading();
    model_.request().duplicatesFound = static_cast<std::int32_t>(model_.results().size());
    phase_ = Phase::Idle;

    const QString summary = QStringLiteral("Files scanned: %1 , duplicates: %2 ")
                                .arg(filesScanned_)
                                .arg(model_.request().duplicatesFound);
    view_.ShowSummary(cacheNotice_.isEmpty() ? summary
                                             : summary + QStringLiteral(" ") + cacheNotice_);
    QStringList box{summary};
    box << notes_;
    prompts_.Inform(TitleCaption(), box.join(QLatin1Char('\n')), PromptIcon::Information);
    Q_EMIT searchFinished();
}

void SearchController::OnCancelRequested() {
    if (phase_ == Phase::Idle || asking_) {
        return;
    }
    const Phase asked = phase_;
    asking_ = true;
    const bool confirmed = prompts_.AskOkCancel(
        TitleCaption(), QStringLiteral("Are you sure you want to cancel search process?"));
    asking_ = false;
    // A run that ended while the question was open has nothing left to stop: its groups are
    // all shown, as if the answer had come a moment later.
    if (confirmed && phase_ == asked) {
        if (phase_ == Phase::Running) {
            model_.engine().stopFlag = 1;
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
