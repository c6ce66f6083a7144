#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/search/progress_mailbox.h"
#include "engine/file_item.h"
#include "engine/skip_rule.h"

namespace krelix {

class CWaitingDlg;
class KrelixDlgModel;
class Prompts;
class SearchCriteria;
class SearchView;

// The Search command and the run it starts. The criteria become the model's request; a search
// thread runs the model's engine on it while the view is disabled and CWaitingDlg shows the
// latest progress, fetched every 100 ms. The duplicate groups cross to the UI thread once, as
// a whole, and fill the results list in batches of whole groups with alternating shading; then
// the summary goes to the status line, and to a message box followed by the run's notes (start
// folders a setting kept out, files and folders that could not be read). Cancel, confirmed, stops
// the engine (or, while rows are being added, the filling); the groups confirmed so far are shown.
// UI thread only, except where noted.
class SearchController : public QObject {
    Q_OBJECT
  public:
    enum class Phase { Idle, Running, Filling };

    // Everything given must outlive the controller.
    SearchController(KrelixDlgModel& model, SearchCriteria& criteria, SearchView& view,
                     Prompts& prompts);
    // Stops a run still going and waits for its thread.
    ~SearchController() override;

    // The Search command: does nothing unless idle.
    void Search();
    Phase phase() const { return phase_; }
    // The progress window; null before the first search.
    CWaitingDlg* waitingDlg() const { return waiting_.get(); }

    // Lists the groups of a finished run as if the engine had just handed them over (each
    // group's members together); the filling, the summary and searchFinished follow. Only while
    // idle (benchmarks, tools).
    void ShowOutcome(std::vector<CFileItem> groups, std::int32_t filesScanned);

    // Test seams: a hook on every progress notice, called on the engine's thread; and the rows
    // added to the list at a time (whole groups are never split).
    void SetNoticeHook(ProgressMailbox::Hook hook) { mailbox_.SetHook(std::move(hook)); }
    void SetFillBatchRows(std::size_t rows) { fillBatchRows_ = rows == 0 ? 1 : rows; }

    static constexpr int kProgressIntervalMs = 100;
    // The longest the window goes without a repaint while rows are added.
    static constexpr int kFillSliceMs = 50;

  Q_SIGNALS:
    // The old results are about to be cleared (the window's preview is hidden right after).
    void searchStarting();
    // The engine's results have reached the UI thread; rows follow.
    void engineFinished();
    // One batch of rows was added.
    void rowsAdded(int rowCount);
    // The summary has been shown and the window is usable again.
    void searchFinished();

  private:
    struct Outcome {
        std::vector<CFileItem> records;  // groups of two or more, each group's members together
        std::int32_t filesScanned = 0;
        std::vector<SkippedStartFolder> skippedStartFolders;
        std::int32_t unreadableFiles = 0;
        std::int32_t unreadableFolders = 0;
        std::string cacheNotice;  // what the hash cache had to say, if anything
    };

    void StartRun();
    void OnEngineDone(std::shared_ptr<Outcome> outcome);
    void FillSome();
    void Finish();
    void OnCancelRequested();
    void ShowLatestProgress();
    void ShowWaitingDlg();

    KrelixDlgModel& model_;
    SearchCriteria& criteria_;
    SearchView& view_;
    Prompts& prompts_;
    std::unique_ptr<CWaitingDlg> waiting_;
    ProgressMailbox mailbox_;
    QTimer progressTimer_;
    std::thread thread_;
    Phase phase_ = Phase::Idle;
    bool asking_ = false;         // the Cancel question is open
    bool fillStopped_ = false;    // confirmed Cancel while rows were being added
    bool fillScheduled_ = false;  // a FillSome is queued

    // The filling: records already in the result copy, listed from nextRow_ on.
    std::vector<CFileItem*> pending_;
    std::size_t nextRow_ = 0;
    std::size_t fillBatchRows_ = 20000;
    std::int32_t filesScanned_ = 0;
    QStringList notes_;    // the lines after the summary in its message box
    QString cacheNotice_;  // shown after the summary on the status line too
};

}  // namespace krelix
