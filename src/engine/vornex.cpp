#include "engine/vornex.h"

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

}  // namespace krelix
