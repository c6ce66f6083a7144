// The comparison and the run: files of a shared size are hashed, inline or on the pool, and
// filed under their group keys; the walk's map is then replaced by those results.
#include <iterator>
#include <mutex>
#include <utility>

#include "engine/file_crc.h"
#include "engine/hash_placement.h"
#include "engine/vornex.h"

namespace krelix {

void CVornex::Run(SearchRequest& request) {
    Walk(request);
    CompareCandidates(request);
}

std::optional<std::string> CVornex::ComputeFileCrc(const std::string& path,
                                                   std::uint64_t expectedSize) const {
    return krelix::ComputeFileCrc(path, expectedSize, stopFlag);
}

void CVornex::HashAndCollect(ResultMap& comparisonMap, CFileItem item) {
    std::optional<std::string> crc = ComputeFileCrc(item.path, item.size);
    bytesHashed_.fetch_add(item.size, std::memory_order_relaxed);
    if (!crc) {
        return;
    }
    item.groupKey = MakeGroupKey(item.size, *crc);
    item.crc = std::move(*crc);
    std::string key = item.groupKey;
    std::lock_guard<std::mutex> lock(lock_);
    comparisonMap.emplace(std::move(key), std::move(item));
}

void CVornex::CompareCandidates(SearchRequest& request) {
    ResultMap comparisonMap;
    ProgressSink* const sink = request.progressWindow;

    // Equal keys are adjacent, so each size bucket is one run of the iteration.
    std::uint64_t bytesToHash = 0;
    for (auto it = resultMap.begin(); it != resultMap.end();) {
        const auto range = resultMap.equal_range(it->first);
        if (std::next(range.first) != range.second) {
            for (auto member = range.first; member != range.second; ++member) {
                bytesToHash += member->second.size;
            }
        }
        it = range.second;
    }
    bytesHashed_ = 0;
    const auto notify = [&](ProgressNotice::Kind kind, const std::string& path) {
        if (sink == nullptr) {
            return;
        }
        ProgressNotice notice;
        notice.kind = kind;
        notice.path = path;
        notice.filesFound = static_cast<std::uint64_t>(request.filesScanned);
        notice.bytesHashed = bytesHashed_.load(std::memory_order_relaxed);
        notice.bytesToHash = bytesToHash;
        sink->OnProgress(notice);
    };

    // The flag is read after each visited entry: after a stop in the walk the first candidate is
    // still tried, and fails at its first chunk unless it is empty.
    bool stopped = false;
    for (auto it = resultMap.begin(); it != resultMap.end() && !stopped;) {
        const auto range = resultMap.equal_range(it->first);
        const bool shared = std::next(range.first) != range.second;
        for (auto member = range.first; member != range.second && !stopped; ++member) {
            const CFileItem& item = member->second;
            if (shared) {
                notify(ProgressNotice::Kind::Comparing, item.path);
                if (ChooseHashPlace(item.size, *runner_) == HashPlace::Pool) {
                    runner_->Schedule(
                        [this, &comparisonMap, item] { HashAndCollect(comparisonMap, item); });
                } else {
                    HashAndCollect(comparisonMap, item);
                }
            }
            stopped = StopRequested();
        }
        it = range.second;
    }

    runner_->Wait();
    notify(ProgressNotice::Kind::ComparisonEnded, {});
    resultMap = std::move(comparisonMap);
    stopFlag = 1;
    if (request.completionEvent) {
        request.completionEvent();
    }
}

}  // namespace krelix
