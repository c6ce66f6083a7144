#include "engine/vornex.h"

#include <iterator>

#include "engine/comparison.h"
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
      runner_(runner ? std::move(runner) : std::make_unique<WorkerPool>()) {}

CVornex::~CVornex() {
    stopFlag = 1;
    // Queued tasks refer to this engine: they must have run before it goes.
    runner_->Wait();
    runner_.reset();
}

void CVornex::Run(SearchRequest& request) {
    Walk(request);
    CompareCandidates(request);
}

void CVornex::CompareCandidates(SearchRequest& request) {
    Comparison comparison(*runner_, stopFlag, request.progressWindow,
                          static_cast<std::uint64_t>(request.filesScanned));
    comparison.afterFirstStage = afterFirstStage;
    comparison.readingNoticeInterval = readingNoticeInterval;
    comparison.unreadable = &unreadable_;
    resultMap = comparison.Run(resultMap);
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
