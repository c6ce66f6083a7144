// The comparison and the run: the files of a shared size are hashed in two stages, their first
// (and last) blocks and then, where another file of the size shares them, the rest; the files
// hashed whole are filed under their group keys and replace the walk's map.
#include <algorithm>
#include <array>
#include <iterator>
#include <string>
#include <tuple>
#include <utility>

#include "engine/duplicate_groups.h"
#include "engine/file_crc.h"
#include "engine/hash_placement.h"
#include "engine/vornex.h"

namespace krelix {

struct CVornex::Candidate {
    enum class State : std::uint8_t {
        LeftOut,     // unreadable, changed, stopped, or alone with its first (and last) block
        FirstBlock,  // crc, strong and lastBlockCrc are the first stage's
        Whole,       // digest is of the whole content
    };
    CFileItem* item = nullptr;  // in resultMap, which stays untouched until the end
    // The digest's parts, laid out so that a candidate takes 40 bytes.
    StrongHash strong;
    std::uint32_t crc = 0;
    std::uint32_t lastBlockCrc = 0;
    State state = State::LeftOut;

    FirstBlock firstBlock() const { return FirstBlock{{crc, strong}, lastBlockCrc, false}; }
    void SetDigest(const ContentDigest& digest) {
        crc = digest.crc;
        strong = digest.strong;
    }
};

struct CVornex::CompareProgress {
    ProgressSink* sink = nullptr;
    std::uint64_t filesFound = 0;
    std::uint64_t bytesToHash = 0;
};

namespace {

// The runs of candidates that share a size: the map keeps equal keys together.
template <typename Candidates, typename Visit>
void ForEachSizeBucket(Candidates& candidates, Visit visit) {
    for (std::size_t begin = 0; begin < candidates.size();) {
        std::size_t end = begin + 1;
        while (end < candidates.size() &&
               candidates[end].item->size == candidates[begin].item->size) {
            ++end;
        }
        visit(begin, end);
        begin = end;
    }
}

// One file reached under two paths (a hard link made during the walk, a file mounted over
// another) must not become its own duplicate: one path stays a candidate, the one seen last
// changed (a link made during the walk moves the file's status-change time), else the first.
void DropSecondPaths(std::vector<CFileItem*>& members) {
    std::vector<CFileItem*> byFile(members);
    std::stable_sort(byFile.begin(), byFile.end(), [](const CFileItem* a, const CFileItem* b) {
        return std::tie(a->identity.device, a->identity.inode, b->identity.changedNs) <
               std::tie(b->identity.device, b->identity.inode, a->identity.changedNs);
    });
    std::vector<const CFileItem*> seconds;
    for (std::size_t i = 1; i < byFile.size(); ++i) {
        const FileIdentity& a = byFile[i - 1]->identity;
        const FileIdentity& b = byFile[i]->identity;
        if (b.inode != 0 && a.device == b.device && a.inode == b.inode) {
            seconds.push_back(byFile[i]);
        }
    }
    if (!seconds.empty()) {
        std::sort(seconds.begin(), seconds.end());
        std::erase_if(members, [&](const CFileItem* member) {
            return std::binary_search(seconds.begin(), seconds.end(), member);
        });
    }
}

}  // namespace

void CVornex::Run(SearchRequest& request) {
    Walk(request);
    CompareCandidates(request);
}

std::optional<std::string> CVornex::ComputeFileCrc(const std::string& path,
                                                   std::uint64_t expectedSize) const {
    return krelix::ComputeFileCrc(path, expectedSize, stopFlag);
}

void CVornex::Dispatch(TaskRunner::Task task) {
    if (ChooseHashPlace(*runner_) == HashPlace::Pool) {
        runner_->Schedule(std::move(task));
    } else {
        task();
    }
}

void CVornex::HashFirstBlocks(Candidate* batch, std::size_t count,
                              const CompareProgress& progress) {
    // Opened together, so that with a cold cache the kernel reads their first blocks at once.
    std::array<std::optional<ReadOnlyFile>, kFirstStageBatchFiles> files;
    for (std::size_t i = 0; i < count && !StopRequested(); ++i) {
        files[i] = OpenFirstBlock(batch[i].item->path, batch[i].item->size);
    }
    for (std::size_t i = 0; i < count; ++i) {
        // A stop ends the visit after the file being hashed.
        if (StopRequested() && i > 0) {
            break;
        }
        Candidate& candidate = batch[i];
        const CFileItem& item = *candidate.item;
        if (progress.sink != nullptr) {
            ProgressNotice notice;
            notice.kind = ProgressNotice::Kind::Comparing;
            notice.path = item.path;
            notice.filesFound = progress.filesFound;
            notice.bytesHashed = bytesHashed_.load(std::memory_order_relaxed);
            notice.bytesToHash = progress.bytesToHash;
            progress.sink->OnProgress(notice);
        }
        std::optional<FirstBlock> first;
        if (files[i]) {
            first = HashFirstBlock(*files[i], item.size, stopFlag, &item.identity);
            files[i].reset();
        }
        if (first) {
            candidate.SetDigest(first->digest);
            candidate.lastBlockCrc = first->lastBlockCrc;
            candidate.state =
                first->complete ? Candidate::State::Whole : Candidate::State::FirstBlock;
        }
        bytesHashed_.fetch_add(first && !first->complete ? FirstStageBytes(item.size) : item.size,
                               std::memory_order_relaxed);
    }
}

void CVornex::HashRests(Candidate* const* batch, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        Candidate& candidate = *batch[i];
        const CFileItem& item = *candidate.item;
        std::optional<ContentDigest> whole;
        if (!StopRequested()) {
            whole =
                HashRest(item.path, item.size, candidate.firstBlock(), stopFlag, &item.identity);
        }
        candidate.state = whole ? Candidate::State::Whole : Candidate::State::LeftOut;
        if (whole) {
            candidate.SetDigest(*whole);
        }
        bytesHashed_.fetch_add(item.size - FirstStageBytes(item.size), std::memory_order_relaxed);
    }
}

void CVornex::CompareCandidates(SearchRequest& request) {
    CompareProgress progress;
    progress.sink = request.progressWindow;
    progress.filesFound = static_cast<std::uint64_t>(request.filesScanned);
    std::vector<Candidate> candidates;
    std::vector<CFileItem*> members;
    ForEachSharedKey(resultMap, [&](auto first, auto last) {
        members.clear();
        for (auto member = first; member != last; ++member) {
            members.push_back(&member->second);
        }
        DropSecondPaths(members);
        if (members.size() > 1) {
            for (CFileItem* member : members) {
                candidates.push_back(Candidate{member, {}, 0, 0, Candidate::State::LeftOut});
                progress.bytesToHash += member->size;
            }
        }
    });
    bytesHashed_ = 0;

    // First stage. The flag is read after each batch (and inside it after each file): after a
    // stop in the walk the first candidate is still tried, and fails at its first chunk unless
    // it is empty.
    bool stopped = false;
    for (std::size_t begin = 0; begin < candidates.size() && !stopped;) {
        const std::size_t count = std::min(kFirstStageBatchFiles, candidates.size() - begin);
        Candidate* const batch = &candidates[begin];
        Dispatch([this, batch, count, &progress] { HashFirstBlocks(batch, count, progress); });
        begin += count;
        stopped = StopRequested();
    }
    runner_->Wait();
    stopped = stopped || StopRequested();
    if (afterFirstStage) {
        afterFirstStage();
    }

    // A file whose first (and last) block no other file of its size shares has no duplicate.
    std::vector<std::uint32_t> order;
    ForEachSizeBucket(candidates, [&](std::size_t begin, std::size_t end) {
        order.clear();
        for (std::size_t i = begin; i < end; ++i) {
            if (candidates[i].state != Candidate::State::LeftOut) {
                order.push_back(static_cast<std::uint32_t>(i));
            }
        }
        std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
            return candidates[a].strong < candidates[b].strong;
        });
        for (std::size_t k = 0; k < order.size(); ++k) {
            const StrongHash& strong = candidates[order[k]].strong;
            const bool shared = (k > 0 && candidates[order[k - 1]].strong == strong) ||
                                (k + 1 < order.size() && candidates[order[k + 1]].strong == strong);
            Candidate& candidate = candidates[order[k]];
            if (!shared && candidate.state == Candidate::State::FirstBlock) {
                candidate.state = Candidate::State::LeftOut;
                bytesHashed_.fetch_add(candidate.item->size - FirstStageBytes(candidate.item->size),
                                       std::memory_order_relaxed);
            } else if (!shared) {
                candidate.state = Candidate::State::LeftOut;
            }
        }
    });

    // Second stage: the rest of each file that is still in question, in batches of similar
    // weight, so that a worker never takes all the large files at once.
    if (!stopped) {
        std::vector<Candidate*> rest;
        for (Candidate& candidate : candidates) {
            if (candidate.state == Candidate::State::FirstBlock) {
                rest.push_back(&candidate);
            }
        }
        for (std::size_t begin = 0; begin < rest.size() && !stopped;) {
            std::size_t end = begin;
            std::uint64_t bytes = 0;
            while (end < rest.size() && end - begin < kRestBatchFiles && bytes < kRestBatchBytes) {
                bytes += rest[end]->item->size - FirstStageBytes(rest[end]->item->size);
                ++end;
            }
            Candidate* const* const batch = &rest[begin];
            const std::size_t count = end - begin;
            Dispatch([this, batch, count] { HashRests(batch, count); });
            begin = end;
            stopped = StopRequested();
        }
        runner_->Wait();
    }

    // Group keys. Files of one size whose CRC agrees but whose content does not are told apart
    // by the strong hash; the later group gets "-2", "-3", ... after its key, so that keys stay
    // unique and such files never form a group.
    ResultMap comparisonMap;
    struct Keyed {
        std::uint32_t crc;
        StrongHash strong;
        std::uint32_t index;
    };
    std::vector<Keyed> keyed;
    std::vector<std::uint32_t> suffix(candidates.size(), 0);
    ForEachSizeBucket(candidates, [&](std::size_t begin, std::size_t end) {
        keyed.clear();
        for (std::size_t i = begin; i < end; ++i) {
            if (candidates[i].state == Candidate::State::Whole) {
                keyed.push_back(
                    {candidates[i].crc, candidates[i].strong, static_cast<std::uint32_t>(i)});
            }
        }
        std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
            return std::tie(a.crc, a.strong, a.index) < std::tie(b.crc, b.strong, b.index);
        });
        // Within one CRC, the contents in the order of their first file.
        for (std::size_t k = 0; k < keyed.size();) {
            std::size_t crcEnd = k;
            std::vector<std::pair<std::uint32_t, std::size_t>> contents;  // first index, start
            while (crcEnd < keyed.size() && keyed[crcEnd].crc == keyed[k].crc) {
                if (crcEnd == k || !(keyed[crcEnd].strong == keyed[crcEnd - 1].strong)) {
                    contents.emplace_back(keyed[crcEnd].index, crcEnd);
                }
                ++crcEnd;
            }
            if (contents.size() > 1) {
                std::sort(contents.begin(), contents.end());
                for (std::size_t rank = 1; rank < contents.size(); ++rank) {
                    for (std::size_t j = contents[rank].second;
                         j < crcEnd && keyed[j].strong == keyed[contents[rank].second].strong;
                         ++j) {
                        suffix[keyed[j].index] = static_cast<std::uint32_t>(rank + 1);
                    }
                }
            }
            k = crcEnd;
        }
    });
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        Candidate& candidate = candidates[i];
        if (candidate.state != Candidate::State::Whole) {
            continue;
        }
        CFileItem& item = *candidate.item;
        item.crc = CrcText(candidate.crc);
        item.groupKey = MakeGroupKey(item.size, item.crc);
        if (suffix[i] != 0) {
            item.groupKey += '-' + std::to_string(suffix[i]);
        }
        std::string key = item.groupKey;
        comparisonMap.emplace(std::move(key), std::move(item));
    }

    if (progress.sink != nullptr) {
        ProgressNotice notice;
        notice.kind = ProgressNotice::Kind::ComparisonEnded;
        notice.filesFound = progress.filesFound;
        notice.bytesHashed = bytesHashed_.load(std::memory_order_relaxed);
        notice.bytesToHash = progress.bytesToHash;
        progress.sink->OnProgress(notice);
    }
    resultMap = std::move(comparisonMap);
    stopFlag = 1;
    if (request.completionEvent) {
        request.completionEvent();
    }
}

}  // namespace krelix
