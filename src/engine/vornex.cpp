#include "engine/vornex.h"

#include <algorithm>
#include <iterator>

#include "engine/comparison.h"
#include "engine/duplicate_groups.h"
#include "engine/file_crc.h"
#include "engine/worker_pool.h"

namespace krelix {

CVornex::CVornex() : CVornex(SkipFolders::FromSystem()) {
    refreshMountPoints_ = true;
}

CVornex::CVornex(SkipFolders skipFolders)
    : CVornex(std::move(skipFolders), std::make_unique<WorkerPool>()) {}

CVornex::CVornex(SkipFolders skipFolders, std::unique_ptr<TaskRunner> runner)
    : skipFolders_(std::move(skipFolders)),
      runner_(runner ? std::move(runner) : std::make_unique<WorkerPool>()),
      walkPool_(std::make_unique<WorkerPool>()) {}

CVornex::~CVornex() {
    stopFlag = 1;
    // Queued tasks refer to this engine: they must have run before it goes.
    runner_->Wait();
    runner_.reset();
    walkPool_.reset();
}

void CVornex::Run(SearchRequest& request) {
    WalkFiles(request);
    walked_.ShrinkToFit();
    // The files whose size another file shares, one size after another; only those hashed whole
    // become records.
    const std::vector<WalkedFiles::File>& files = walked_.files();
    std::vector<std::uint32_t> bySize(files.size());
    for (std::uint32_t i = 0; i < bySize.size(); ++i) {
        bySize[i] = i;
    }
    std::stable_sort(bySize.begin(), bySize.end(), [&files](std::uint32_t a, std::uint32_t b) {
        return files[a].size < files[b].size;
    });
    std::size_t shared = 0;
    for (std::size_t i = 0; i < bySize.size(); ++i) {
        const std::uint64_t size = files[bySize[i]].size;
        if ((i > 0 && files[bySize[i - 1]].size == size) ||
            (i + 1 < bySize.size() && files[bySize[i + 1]].size == size)) {
            bySize[shared++] = bySize[i];
        }
    }
    bySize.resize(shared);
    bySize.shrink_to_fit();
    WalkedSource source(walked_, std::move(bySize));
    Compare(source, request);
    walked_.Clear();
}

void CVornex::CompareCandidates(SearchRequest& request) {
    std::vector<CFileItem> sized;
    sized.reserve(resultMap.size());
    ForEachSharedKey(resultMap, [&sized](auto first, auto last) {
        for (auto member = first; member != last; ++member) {
            sized.push_back(std::move(member->second));
        }
    });
    RecordSource source(sized);
    Compare(source, request);
}

void CVornex::Compare(CompareSource& source, SearchRequest& request) {
    Comparison comparison(*runner_, stopFlag, request.progressWindow,
                          static_cast<std::uint64_t>(request.filesScanned));
    comparison.afterFirstStage = afterFirstStage;
    comparison.readingNoticeInterval = readingNoticeInterval;
    comparison.unreadable = &unreadable_;
    comparison.cache = digestCache;
    comparison.settledBeforeNs = walkStartNs_ - cacheSettleTime.count();
    resultMap = comparison.Run(source);
    request.unreadableFiles = unreadable_.files();
    std::vector<std::string> paths = unreadable_.TakePaths();
    request.unreadablePaths.insert(request.unreadablePaths.end(),
                                   std::make_move_iterator(paths.begin()),
                                   std::make_move_iterator(paths.end()));
    stopFlag = 1;
    if (request.completionEvent) {
        request.completionEvent();
    }
}

std::optional<std::string> CVornex::ComputeFileCrc(const std::string& path,
                                                   std::uint64_t expectedSize) const {
    return krelix::ComputeFileCrc(path, expectedSize, stopFlag);
}

}  // namespace krelix
