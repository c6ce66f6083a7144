// krelix-scan: the engine as a command-line duplicate finder.
#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <csignal>
#include <ctime>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cache/hash_cache.h"
#include "common/version.h"
#include "engine/progress_sink.h"
#include "engine/vornex.h"
#include "json_output.h"
#include "link_run.h"
#include "operations/journal/command_journal.h"
#include "operations/journal/journal_recorder.h"
#include "progress_line.h"
#include "scan_options.h"
#include "scan_output.h"
#include "undo_run.h"

namespace {

static_assert(std::atomic<std::int32_t>::is_always_lock_free, "stored to from a signal handler");

std::atomic<std::int32_t>* g_stopFlag = nullptr;
volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void OnInterrupt(int signal) {
    g_interrupted = signal;
    if (g_stopFlag != nullptr) {
        g_stopFlag->store(1);
    }
}

// A run clears the stop flag when it starts; an interrupt that came just before is carried
// into the run at its next notice. Passes each notice on to the progress line, if any.
class InterruptRelay final : public krelix::ProgressSink {
  public:
    InterruptRelay(std::atomic<std::int32_t>& stopFlag, krelix::ProgressSink* next)
        : stopFlag_(stopFlag), next_(next) {}
    void OnProgress(const krelix::ProgressNotice& notice) override {
        if (g_interrupted != 0) {
            stopFlag_.store(1);
        }
        if (next_ != nullptr) {
            next_->OnProgress(notice);
        }
    }

  private:
    std::atomic<std::int32_t>& stopFlag_;
    krelix::ProgressSink* next_;
};

// Clears up after a command that was killed half-way, and says that one is waiting for --undo.
std::unique_ptr<krelix::CommandJournal> OpenJournal() {
    std::string notice;
    std::unique_ptr<krelix::CommandJournal> journal =
        krelix::CommandJournal::Open(krelix::DefaultJournalPath(), std::time(nullptr), notice);
    if (!notice.empty()) {
        std::cerr << "krelix-scan: " << notice << '\n';
    }
    if (journal) {
        journal->Prune(std::time(nullptr));
        krelix::TidyAndSay(*journal, std::cerr);
        if (!journal->Interrupted().empty()) {
            std::cerr << "krelix-scan: the command journal holds a command that was "
                         "stopped half-way; --undo reverses the newest command first\n";
        }
    }
    return journal;
}

// Any run clears up after a killed command, but only a journal that exists is opened: a scan
// alone makes none.
void TidyExistingJournal() {
    struct stat status {};
    if (::lstat(krelix::DefaultJournalPath().c_str(), &status) != 0) {
        return;
    }
    std::string notice;
    const std::unique_ptr<krelix::CommandJournal> journal =
        krelix::CommandJournal::Open(krelix::DefaultJournalPath(), std::time(nullptr), notice);
    if (journal) {
        krelix::TidyAndSay(*journal, std::cerr);
    }
}

// --hardlink or --reflink over the run's groups; the exit status. Without a journal nothing is
// replaced unless the user said --no-undo.
int RunReplacement(const krelix::ScanOptions& options, const krelix::ResultMap& results,
                   std::vector<std::string> protectFolders) {
    const auto run = options.dryRun ? krelix::LinkRun::DryRun : krelix::LinkRun::Replace;
    std::unique_ptr<krelix::CommandJournal> journal;
    if (run == krelix::LinkRun::Replace && !options.noUndo) {
        journal = OpenJournal();
        if (!journal) {
            std::cerr << "krelix-scan: nothing was replaced, as the replacements could not be "
                         "undone; --no-undo replaces without the journal\n";
            return 1;
        }
    }
    const auto kind = options.hardlink ? krelix::LinkKind::HardLink : krelix::LinkKind::Clone;
    krelix::LinkRunTotals totals;
    {
        krelix::JournalRecorder recorder(
            journal.get(),
            options.hardlink ? krelix::CommandKind::HardLink : krelix::CommandKind::Clone,
            std::time(nullptr));
        totals = krelix::ReplaceDuplicates(
            results, kind, run, krelix::ProtectedFolders(std::move(protectFolders)), std::cerr,
            [] { return g_interrupted != 0; }, journal ? &recorder : nullptr);
    }
    krelix::WriteLinkSummary(totals, run, std::cerr);
    return totals.failures > 0 ? 1 : 0;
}

int Fail(const std::string& message, bool withUsage) {
    std::cerr << "krelix-scan: " << message << '\n';
    if (withUsage) {
        std::cerr << krelix::kScanUsage;
    }
    return 2;
}

// Stops the run on Ctrl-C or SIGTERM; a second one ends the program at once.
void CatchInterrupts(std::atomic<std::int32_t>& stopFlag) {
    g_stopFlag = &stopFlag;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

// The engine's run with the hash cache and the progress line the options ask for.
void RunSearch(const krelix::ScanOptions& options, krelix::CVornex& engine,
               krelix::SearchRequest& request) {
    std::unique_ptr<krelix::HashCache> cache;
    if (!options.noCache) {
        std::string notice;
        cache = krelix::HashCache::Open(options.cacheFile.value_or(krelix::DefaultHashCachePath()),
                                        std::time(nullptr), notice);
        if (!notice.empty()) {
            std::cerr << "krelix-scan: " << notice << '\n';
        }
    }
    std::unique_ptr<krelix::TerminalProgress> progress;
    if (options.progress && ::isatty(STDERR_FILENO)) {
        progress = std::make_unique<krelix::TerminalProgress>(STDERR_FILENO);
    }
    InterruptRelay relay(engine.stopFlag, progress.get());
    request.progressWindow = &relay;
    CatchInterrupts(engine.stopFlag);
    engine.Run(request, cache.get());
    request.progressWindow = nullptr;
    if (progress) {
        progress->Clear();
    }
    if (cache) {
        if (const std::string notice = cache->TakeNotice(); !notice.empty()) {
            std::cerr << "krelix-scan: " << notice << '\n';
        }
    }
}

// The groups on standard output in the chosen form, then the summary; false when standard
// output could not be written.
bool WriteResults(const krelix::ScanOptions& options, const krelix::ResultMap& results,
                  krelix::SearchRequest& request) {
    const auto format = options.csv    ? krelix::OutputFormat::Csv
                        : options.null ? krelix::OutputFormat::NulPaths
                                       : krelix::OutputFormat::Paths;
    request.duplicatesFound = static_cast<std::int32_t>(
        options.json ? krelix::WriteJsonGroups(results, std::cout)
                     : krelix::WriteDuplicateGroups(results, format, std::cout));
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "krelix-scan: cannot write the results\n";
        return false;
    }
    krelix::WriteScanSummary(request, std::cerr);
    return true;
}

// A whole scan with its replacements; the exit status.
int Scan(const krelix::ScanOptions& options) {
    krelix::SearchRequest request;
    std::string error;
    if (!krelix::FillRequest(options, request, error)) {
        return Fail(error, false);
    }
    std::vector<std::string> protectFolders;
    for (const std::string& text : options.protectFolders) {
        const auto folder = krelix::NormaliseFolder(text, error);
        if (!folder) {
            return Fail(error, false);
        }
        protectFolders.push_back(*folder);
    }
    const bool replacing = options.hardlink || options.reflink;
    if (!replacing) {
        TidyExistingJournal();
    }
    krelix::CVornex engine;
    RunSearch(options, engine, request);
    if (!WriteResults(options, engine.resultMap, request)) {
        return 1;
    }
    // An interrupted scan replaces nothing: the user asked to stop.
    const int status = replacing && g_interrupted == 0
                           ? RunReplacement(options, engine.resultMap, std::move(protectFolders))
                           : 0;
    // 130 after Ctrl-C, 143 after SIGTERM, as a shell reports a command the signal ended.
    return g_interrupted != 0 ? 128 + g_interrupted : status;
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    std::ios::sync_with_stdio(false);

    const krelix::ParsedArguments parsed =
        krelix::ParseScanArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.options) {
        return Fail(parsed.error, true);
    }
    if (parsed.options->help) {
        std::cout << krelix::kScanUsage;
        return 0;
    }
    if (parsed.options->version) {
        std::cout << "krelix-scan " << krelix::kVersion << '\n';
        return 0;
    }
    if (parsed.options->undo) {
        return krelix::RunUndo(krelix::DefaultJournalPath(), std::time(nullptr), std::cout,
                               std::cerr);
    }
    return Scan(*parsed.options);
}
