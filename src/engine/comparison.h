#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/compare_source.h"
#include "engine/progress_sink.h"
#include "engine/result_map.h"
#include "engine/task_runner.h"

namespace krelix {

class DigestCache;
struct CachedDigests;
struct FirstBlock;
class UnreadableLog;

// The comparison of one run, as a pipeline of stages over the files whose size another file
// shares: collect them, hash their first (and last) blocks, drop the files alone with those
// blocks, hash the rest of the others, and key the files hashed whole by content. Runs once, on
// the search thread; batches of hashing go to the runner while its queue is short.
class Comparison {
  public:
    Comparison(TaskRunner& runner, const std::atomic<std::int32_t>& stopFlag, ProgressSink* sink,
               std::uint64_t filesFound);
    ~Comparison();
    Comparison(const Comparison&) = delete;
    Comparison& operator=(const Comparison&) = delete;

    // Runs every stage over the files of shared sizes, given one size after another, and
    // answers the files hashed whole as records keyed by group key; sends the
    // ComparisonEnded notice last. Files of one size whose CRC agrees but whose content does
    // not get "-2", "-3", ... after the later group's key.
    ResultMap Run(CompareSource& source);

    // Called on the search thread between the two stages when set (tests).
    std::function<void()> afterFirstStage;
    // The least time between two Reading notices; often enough for a window that shows the
    // latest notice every 100 ms (tests: 0, a notice per chunk).
    std::chrono::nanoseconds readingNoticeInterval = std::chrono::milliseconds(50);
    // Told of each file left out because it could not be opened or read, when set.
    UnreadableLog* unreadable = nullptr;
    // When set, files unchanged since an earlier search take their digests from it instead of
    // being read, and what this search reads is added to it, for files that last changed before
    // settledBeforeNs (realtime; see IsSettledForCache).
    DigestCache* cache = nullptr;
    std::int64_t settledBeforeNs = 0;

  private:
    struct Candidate;

    struct CachedWhole;

    void CollectCandidates();
    void FindCachedDigests();
    void TakeCachedDigests(std::uint32_t index, const CachedDigests& found);
    void HashFirstStage();
    void DropUnsharedFirstBlocks();
    void HashSecondStage();
    void StoreWholes();
    void KeepOnlyWholes();
    // For each candidate, 0 or the number after its group key's "-" when its CRC is another
    // content's too.
    std::vector<std::uint32_t> ContentSuffixes() const;
    // Ends the comparison: the candidates are gone afterwards.
    ResultMap AssignGroupKeys();

    struct OpenedBatch;
    void OpenFirstBlocks(Candidate* batch, std::size_t count, OpenedBatch& opened);
    void HashFirstBlocks(Candidate* batch, std::size_t count);
    void TakeFirstBlock(Candidate& candidate, const FirstBlock& first);
    void HashRests(Candidate* const* batch, std::size_t count);
    // Whether the candidate's digests may come from, and go to, the cache.
    bool MayCache(const Candidate& candidate);
    void Dispatch(TaskRunner::Task task);
    bool StopRequested() const { return stopFlag_.load(std::memory_order_relaxed) != 0; }
    // Counts bytes read by the second stage and, now and then, names the file being read.
    void NoteBytesRead(std::uint64_t bytes, const std::string& path);
    void Notify(ProgressNotice::Kind kind, const std::string& path);

    TaskRunner& runner_;
    const std::atomic<std::int32_t>& stopFlag_;
    ProgressSink* sink_;
    std::uint64_t filesFound_;
    std::uint64_t bytesToHash_ = 0;
    std::atomic<std::uint64_t> bytesHashed_{0};
    static constexpr std::int64_t kNoReadingNoticeYet = INT64_MIN;
    std::atomic<std::int64_t> lastReadingNotice_{kNoReadingNoticeYet};  // steady clock, ns
    CompareSource* source_ = nullptr;
    std::vector<Candidate> candidates_;
    std::vector<CachedWhole> cachedWholes_;       // of cached candidates not read whole before
    std::map<std::uint64_t, bool> stableInodes_;  // by device
    bool stopped_ = false;
};

}  // namespace krelix
