#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "engine/search_request.h"
#include "engine/vornex.h"
#include "platform/skip_folders.h"
#include "support/temp_tree.h"

namespace krelix::test {

// Remembers every notice; optionally asks the engine to stop at a given notice. Notices may come
// from several threads at once; onNotice runs under the sink's lock.
class RecordingSink : public ProgressSink {
  public:
    void OnProgress(const ProgressNotice& notice) override {
        std::lock_guard<std::mutex> lock(mutex_);
        notices.push_back(notice);
        if (onNotice) {
            onNotice(notice);
        }
    }
    std::vector<ProgressNotice> notices;
    std::function<void(const ProgressNotice&)> onNotice;

  private:
    std::mutex mutex_;
};

// A temporary tree, a request and an engine whose skip folders are only those a test injects.
class WalkTest : public ::testing::Test {
  protected:
    // Walks the given start folders (relative to the tree's root) with the given flags and
    // answers the recorded paths relative to the root, sorted.
    std::vector<std::string> Walk(std::uint32_t flags,
                                  const std::vector<std::string>& startFolders = {""}) {
        request.includeFolders.clear();
        for (const std::string& folder : startFolders) {
            request.includeFolders.insert(tree.Path(folder));
        }
        request.optionFlags = flags;
        engine = std::make_unique<CVornex>(skip);
        engine->Walk(request);
        EXPECT_EQ(engine->resultMap.size(), static_cast<std::size_t>(request.filesScanned));
        return Recorded();
    }

    std::vector<std::string> Recorded() const {
        std::vector<std::string> paths;
        for (const auto& [key, item] : engine->resultMap) {
            paths.push_back(item.path.substr(0, tree.root().size()) == tree.root()
                                ? item.path.substr(tree.root().size())
                                : item.path);
        }
        std::sort(paths.begin(), paths.end());
        return paths;
    }

    // Replaces the tree by an empty one; tree keeps naming the current one.
    void NewTree() { treeStorage_.emplace(); }

  private:
    std::optional<TempTree> treeStorage_{std::in_place};

  protected:
    TempTree& tree = *treeStorage_;
    SkipFolders skip;
    SearchRequest request;
    std::unique_ptr<CVornex> engine;
};

using Paths = std::vector<std::string>;

}  // namespace krelix::test
