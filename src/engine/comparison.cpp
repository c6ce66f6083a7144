#include "engine/comparison.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <optional>
#include <tuple>
#include <utility>

#include "engine/comparison_parts.h"
#include "engine/digest_cache.h"
#include "engine/file_crc.h"
#include "engine/hash_placement.h"
#include "engine/unreadable_log.h"

namespace krelix {

namespace {

// One file reached under two paths (a hard link made during the walk, a file mounted over
// another) must not become its own duplicate: one path stays a candidate, the one seen last
// changed (a link made during the walk moves the file's status-change time), else the first.
void DropSecondPaths(const CompareSource& source, std::vector<std::uint32_t>& members) {
    std::vector<std::uint32_t> byFile(members);
    std::stable_sort(byFile.begin(), byFile.end(), [&source](std::uint32_t a, std::uint32_t b) {
        const FileIdentity& x = source.Identity(a);
        const FileIdentity& y = source.Identity(b);
        return std::tie(x.device, x.inode, y.changedNs) < std::tie(y.device, y.inode, x.changedNs);
    });
    std::vector<std::uint32_t> seconds;
    for (std::size_t i = 1; i < byFile.size(); ++i) {
        const FileIdentity& a = source.Identity(byFile[i - 1]);
        const FileIdentity& b = source.Identity(byFile[i]);
        if (b.inode != 0 && a.device == b.device && a.inode == b.inode) {
            seconds.push_back(byFile[i]);
        }
    }
    if (!seconds.empty()) {
        std::sort(seconds.begin(), seconds.end());
        std::erase_if(members, [&](std::uint32_t member) {
            return std::binary_search(seconds.begin(), seconds.end(), member);
        });
    }
}

std::int64_t SteadyNowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

Comparison::Comparison(TaskRunner& runner, const std::atomic<std::int32_t>& stopFlag,
                       ProgressSink* sink, std::uint64_t filesFound)
    : runner_(runner), stopFlag_(stopFlag), sink_(sink), filesFound_(filesFound) {}

Comparison::~Comparison() = default;

ResultMap Comparison::Run(CompareSource& source) {
    source_ = &source;
    CollectCandidates();
    FindCachedDigests();
    HashFirstStage();
    if (afterFirstStage) {
        afterFirstStage();
    }
    DropUnsharedFirstBlocks();
    if (!stopped_) {
        HashSecondStage();
    }
    StoreWholes();
    KeepOnlyWholes();
    ResultMap keyed = AssignGroupKeys();
    if (cache != nullptr) {
        cache->EndSearch(!stopped_ && !StopRequested());
    }
    Notify(ProgressNotice::Kind::ComparisonEnded, std::string());
    return keyed;
}

void Comparison::CollectCandidates() {
    const CompareSource& source = *source_;
    // At most one a file: a vector grown by doubling could hold a third more than it needs.
    candidates_.reserve(source.Count());
    std::vector<std::uint32_t> members;
    for (std::size_t begin = 0; begin < source.Count();) {
        const std::uint64_t size = source.Size(begin);
        std::size_t end = begin + 1;
        while (end < source.Count() && source.Size(end) == size) {
            ++end;
        }
        members.clear();
        for (std::size_t i = begin; i < end; ++i) {
            members.push_back(static_cast<std::uint32_t>(i));
        }
        begin = end;
        DropSecondPaths(source, members);
        if (members.size() > 1) {
            for (const std::uint32_t member : members) {
                candidates_.push_back(Candidate{
                    {}, size, 0, 0, member, Candidate::State::LeftOut, false, false, false});
                bytesToHash_ += size;
            }
        }
    }
}

// The flag is read after each batch (and inside it after each file): after a stop in the walk
// the first candidate is still tried, and fails at its first chunk unless it is empty.
void Comparison::HashFirstStage() {
    for (std::size_t begin = 0; begin < candidates_.size() && !stopped_;) {
        const std::size_t count = std::min(kFirstStageBatchFiles, candidates_.size() - begin);
        Candidate* const batch = &candidates_[begin];
        Dispatch([this, batch, count] { HashFirstBlocks(batch, count); });
        begin += count;
        stopped_ = StopRequested();
    }
    runner_.Wait();
    stopped_ = stopped_ || StopRequested();
}

struct Comparison::OpenedBatch {
    std::array<std::optional<ReadOnlyFile>, kFirstStageBatchFiles> files;
    std::array<std::string, kFirstStageBatchFiles> paths;
};

// Opened together, so that with a cold cache the kernel reads their first blocks at once. When
// the batch's first file is in the page cache the others most likely are too, and the advice
// would only cost a system call each.
void Comparison::OpenFirstBlocks(Candidate* batch, std::size_t count, OpenedBatch& opened) {
    Advice advice = Advice::WillNeed;
    bool adviceChosen = false;
    for (std::size_t i = 0; i < count && !StopRequested(); ++i) {
        const Candidate& candidate = batch[i];
        if (candidate.cached) {
            continue;
        }
        opened.paths[i] = source_->Path(candidate.index);
        opened.files[i] = OpenFirstBlock(opened.paths[i], candidate.size,
                                         &source_->Identity(candidate.index), advice);
        if (!opened.files[i] && unreadable && LastReadFailed()) {
            unreadable->AddFile(opened.paths[i]);
        }
        if (!adviceChosen && opened.files[i] && candidate.size > 0) {
            adviceChosen = true;
            if (opened.files[i]->IsCached(0)) {
                advice = Advice::None;
            }
        }
    }
}

void Comparison::HashFirstBlocks(Candidate* batch, std::size_t count) {
    OpenedBatch opened;
    OpenFirstBlocks(batch, count, opened);
    for (std::size_t i = 0; i < count; ++i) {
        // A stop ends the visit after the file being hashed.
        if (StopRequested() && i > 0) {
            break;
        }
        Candidate& candidate = batch[i];
        if (candidate.cached) {
            continue;
        }
        std::string& path = opened.paths[i];
        if (path.empty()) {
            path = source_->Path(candidate.index);  // a stop came while the batch opened
        }
        Notify(ProgressNotice::Kind::Comparing, path);
        std::optional<FirstBlock> first;
        if (opened.files[i]) {
            first = HashFirstBlock(*opened.files[i], candidate.size, stopFlag_,
                                   &source_->Identity(candidate.index));
            if (!first && unreadable && LastReadFailed()) {
                unreadable->AddFile(path);
            }
            opened.files[i].reset();
        }
        if (first) {
            TakeFirstBlock(candidate, *first);
        }
        bytesHashed_.fetch_add(
            first && !first->complete ? FirstStageBytes(candidate.size) : candidate.size,
            std::memory_order_relaxed);
    }
}

void Comparison::TakeFirstBlock(Candidate& candidate, const FirstBlock& first) {
    // Kept as each file is hashed, so that the cache's writes go on beside the reads.
    if (cache != nullptr && candidate.mayCache) {
        cache->StoreFirstBlock(source_->Identity(candidate.index), candidate.size, first);
    }
    candidate.SetDigest(first.digest);
    candidate.lastBlockCrc = first.lastBlockCrc;
    candidate.state = first.complete ? Candidate::State::Whole : Candidate::State::FirstBlock;
}

// A file whose first (and last) block no other file of its size shares has no duplicate.
void Comparison::DropUnsharedFirstBlocks() {
    std::vector<std::uint32_t> order;
    ForEachSizeBucket(candidates_, [&](std::size_t begin, std::size_t end) {
        order.clear();
        for (std::size_t i = begin; i < end; ++i) {
            if (candidates_[i].state != Candidate::State::LeftOut) {
                order.push_back(static_cast<std::uint32_t>(i));
            }
        }
        std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
            return candidates_[a].strong < candidates_[b].strong;
        });
        for (std::size_t k = 0; k < order.size(); ++k) {
            const StrongHash& strong = candidates_[order[k]].strong;
            const bool shared =
                (k > 0 && candidates_[order[k - 1]].strong == strong) ||
                (k + 1 < order.size() && candidates_[order[k + 1]].strong == strong);
            Candidate& candidate = candidates_[order[k]];
            if (!shared && candidate.state == Candidate::State::FirstBlock) {
                // Its rest will never be read: counted as done, for the progress bar.
                bytesHashed_.fetch_add(candidate.size - FirstStageBytes(candidate.size),
                                       std::memory_order_relaxed);
            }
            if (!shared) {
                candidate.state = Candidate::State::LeftOut;
            }
        }
    });
}

// The rest of each file still in question, in batches of similar weight, so that a worker never
// takes all the large files at once.
void Comparison::HashSecondStage() {
    for (const CachedWhole& known : cachedWholes_) {
        Candidate& candidate = candidates_[known.candidate];
        if (candidate.state == Candidate::State::FirstBlock) {
            candidate.state = Candidate::State::Whole;
            candidate.SetDigest(known.digest);
            bytesHashed_.fetch_add(candidate.size - FirstStageBytes(candidate.size),
                                   std::memory_order_relaxed);
        }
    }
    cachedWholes_.clear();
    cachedWholes_.shrink_to_fit();
    std::vector<Candidate*> rest;
    for (Candidate& candidate : candidates_) {
        if (candidate.state == Candidate::State::FirstBlock) {
            rest.push_back(&candidate);
        }
    }
    for (std::size_t begin = 0; begin < rest.size() && !stopped_;) {
        std::size_t end = begin;
        std::uint64_t bytes = 0;
        while (end < rest.size() && end - begin < kRestBatchFiles && bytes < kRestBatchBytes) {
            bytes += rest[end]->size - FirstStageBytes(rest[end]->size);
            ++end;
        }
        Candidate* const* const batch = &rest[begin];
        const std::size_t count = end - begin;
        Dispatch([this, batch, count] { HashRests(batch, count); });
        begin = end;
        stopped_ = StopRequested();
    }
    runner_.Wait();
}

void Comparison::HashRests(Candidate* const* batch, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        Candidate& candidate = *batch[i];
        const std::uint64_t restBytes = candidate.size - FirstStageBytes(candidate.size);
        std::uint64_t read = 0;
        std::optional<ContentDigest> whole;
        if (!StopRequested()) {
            const std::string path = source_->Path(candidate.index);
            whole = HashRest(path, candidate.size, candidate.firstBlock(), stopFlag_,
                             &source_->Identity(candidate.index), [&](std::uint64_t bytes) {
                                 read += bytes;
                                 NoteBytesRead(bytes, path);
                             });
            if (!whole && unreadable && LastReadFailed()) {
                unreadable->AddFile(path);
            }
        }
        candidate.state = whole ? Candidate::State::Whole : Candidate::State::LeftOut;
        if (whole) {
            candidate.SetDigest(*whole);
            candidate.restHashed = true;
        }
        // What a failed or stopped read left unread counts as done.
        bytesHashed_.fetch_add(restBytes - std::min(read, restBytes), std::memory_order_relaxed);
    }
}

// Only files read whole become records; most candidates fall out before that, and their room in
// the candidates and the source is given back before the records are made.
void Comparison::KeepOnlyWholes() {
    std::erase_if(candidates_, [](const Candidate& candidate) {
        return candidate.state != Candidate::State::Whole;
    });
    candidates_.shrink_to_fit();
    std::vector<std::uint32_t> places;
    places.reserve(candidates_.size());
    for (const Candidate& candidate : candidates_) {
        places.push_back(candidate.index);
    }
    std::sort(places.begin(), places.end());
    for (Candidate& candidate : candidates_) {
        candidate.index = static_cast<std::uint32_t>(
            std::lower_bound(places.begin(), places.end(), candidate.index) - places.begin());
    }
    source_->KeepOnly(places);
}

void Comparison::Dispatch(TaskRunner::Task task) {
    if (ChooseHashPlace(runner_) == HashPlace::Pool) {
        runner_.Schedule(std::move(task));
    } else {
        task();
    }
}

void Comparison::NoteBytesRead(std::uint64_t bytes, const std::string& path) {
    bytesHashed_.fetch_add(bytes, std::memory_order_relaxed);
    if (sink_ == nullptr) {
        return;
    }
    const std::int64_t now = SteadyNowNs();
    std::int64_t last = lastReadingNotice_.load(std::memory_order_relaxed);
    // One reader wins each interval; the others go on reading.
    if ((last != kNoReadingNoticeYet && now - last < readingNoticeInterval.count()) ||
        !lastReadingNotice_.compare_exchange_strong(last, now, std::memory_order_relaxed)) {
        return;
    }
    Notify(ProgressNotice::Kind::Reading, path);
}

void Comparison::Notify(ProgressNotice::Kind kind, const std::string& path) {
    SendNotice(sink_, kind, path, filesFound_, bytesHashed_.load(std::memory_order_relaxed),
               bytesToHash_);
}

}  // namespace krelix
