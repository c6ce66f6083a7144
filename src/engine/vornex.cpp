#include "engine/vornex.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "engine/comparison.h"
#include "engine/file_crc.h"
#include "engine/worker_pool.h"

namespace krelix {

CVornex::CVornex() : CVornex(SkipFolders::FromSystem()) {
    refreshMountPoints_ = true;
}

CVornex::CVornex(SkipFolders skipFolders, EngineOptions options)
    : CVornex(std::move(skipFolders), std::make_unique<WorkerPool>(), std::move(options)) {}

CVornex::CVornex(SkipFolders skipFolders, std::unique_ptr<TaskRunner> runner, EngineOptions options)
    : skipFolders_(std::move(skipFolders)),
      options_(std::move(options)),
      runner_(runner ? std::move(runner) : std::make_unique<WorkerPool>()),
      walkPool_(std::make_unique<WorkerPool>()) {}

CVornex::~CVornex() {
    stopFlag = 1;
    // Queued tasks refer to this engine: they must have run before it goes.
    runner_->Wait();
    runner_.reset();
    walkPool_.reset();
}

void CVornex::Run(SearchRequest& request, DigestCache* cache) {
    WalkFiles(request);
    // The files whose size another file shares, one size after another; only those hashed whole
    // become records, kept in that order so that the comparison reads the table front to back.
    // Each size is sorted beside its index: looking sizes up in the table at every compare took
    // most of a tenth of a second on 200,000 files.
    const WalkedFiles::Table& files = walked_.files();
    std::vector<std::pair<std::uint64_t, std::uint32_t>> sizes(files.size());
    for (std::uint32_t i = 0; i < sizes.size(); ++i) {
        sizes[i] = {files[i].size, i};
    }
    std::sort(sizes.begin(), sizes.end());  // a size's files stay in walk order
    const auto shared = [&sizes](std::size_t i) {
        return (i > 0 && sizes[i - 1].first == sizes[i].first) ||
               (i + 1 < sizes.size() && sizes[i + 1].first == sizes[i].first);
    };
    std::size_t count = 0;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        count += shared(i) ? 1 : 0;
    }
    std::vector<std::uint32_t> bySize;
    bySize.reserve(count);
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        if (shared(i)) {
            bySize.push_back(sizes[i].second);
        }
    }
    std::vector<std::pair<std::uint64_t, std::uint32_t>>().swap(sizes);
    walked_.KeepOnly(bySize);
    std::vector<std::uint32_t>().swap(bySize);
    WalkedSource source(walked_);
    Compare(source, request, cache);
    walked_.Clear();
}

void CVornex::Compare(CompareSource& source, SearchRequest& request, DigestCache* cache) {
    Comparison comparison(*runner_, stopFlag, request.progressWindow,
                          static_cast<std::uint64_t>(request.filesScanned));
    comparison.afterFirstStage = options_.afterFirstStage;
    comparison.readingNoticeInterval = options_.readingNoticeInterval;
    comparison.unreadable = &unreadable_;
    comparison.cache = cache;
    comparison.settledBeforeNs = walkStartNs_ - options_.cacheSettleTime.count();
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
