#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/search_flags.h"
#include "engine/search_request.h"
#include "engine/task_runner.h"
#include "engine/vornex.h"
#include "platform/skip_folders.h"
#include "support/temp_tree.h"
#include "walk_fixture.h"

namespace krelix::test {

// Group key to the sorted paths (relative to the tree) of its members.
using Groups = std::map<std::string, std::vector<std::string>>;

// A temporary tree, a request that walks all of it, an engine and a sink that records notices
// and counts completions.
class CompareTest : public ::testing::Test {
  protected:
    CompareTest() {
        request.includeFolders.insert(tree.root());
        request.optionFlags = SEARCH_SUBDIRS;
        request.progressWindow = &sink;
        request.completionEvent = [this] { ++completions; };
    }

    void Run(std::unique_ptr<TaskRunner> runner = nullptr) {
        if (!engine || runner) {
            engine = runner ? std::make_unique<CVornex>(SkipFolders{}, std::move(runner))
                            : std::make_unique<CVornex>(SkipFolders{});
        }
        completions = 0;
        sink.notices.clear();
        engine->Run(request, digestCache);
        EXPECT_EQ(1, engine->stopFlag.load());
        EXPECT_EQ(1, completions);
        ASSERT_FALSE(sink.notices.empty());
        EXPECT_EQ(ProgressNotice::Kind::ComparisonEnded, sink.notices.back().kind);
        EXPECT_EQ(1, CountNotices(ProgressNotice::Kind::ComparisonEnded));
    }

    // Every entry of resultMap, groups of one included.
    Groups Results() const {
        Groups groups;
        for (const auto& [key, item] : engine->resultMap) {
            EXPECT_EQ(key, item.groupKey);
            // Another content of the same size and CRC gets "-2", "-3", ... after the key.
            EXPECT_EQ(8u, item.crc().size()) << item.groupKey;
            EXPECT_EQ(std::string_view::npos, item.crc().find_first_not_of("0123456789ABCDEF"));
            const std::string plain = std::to_string(item.size) + std::string(item.crc());
            EXPECT_EQ(plain, item.groupKey.substr(0, plain.size()));
            if (item.groupKey != plain) {
                EXPECT_EQ('-', item.groupKey[plain.size()]) << item.groupKey;
            }
            groups[key].push_back(Relative(item.path));
        }
        for (auto& [key, paths] : groups) {
            std::sort(paths.begin(), paths.end());
        }
        return groups;
    }

    // Only the groups of two or more.
    Groups Duplicates() const {
        Groups groups = Results();
        std::erase_if(groups, [](const auto& g) { return g.second.size() < 2; });
        return groups;
    }

    int CountNotices(ProgressNotice::Kind kind) const {
        return static_cast<int>(std::count_if(sink.notices.begin(), sink.notices.end(),
                                              [kind](const auto& n) { return n.kind == kind; }));
    }

    std::vector<std::string> ComparedPaths() const {
        std::vector<std::string> paths;
        for (const ProgressNotice& notice : sink.notices) {
            if (notice.kind == ProgressNotice::Kind::Comparing) {
                paths.push_back(Relative(notice.path));
            }
        }
        return paths;
    }

    std::string Relative(const std::string& path) const { return path.substr(tree.root().size()); }

    TempTree tree;
    SearchRequest request;
    RecordingSink sink;
    int completions = 0;
    std::unique_ptr<CVornex> engine;
    DigestCache* digestCache = nullptr;  // handed to each run
};

}  // namespace krelix::test
