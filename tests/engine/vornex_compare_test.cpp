#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <boost/thread/exceptions.hpp>
#include <fstream>

#include "compare_fixture.h"
#include "engine/file_crc.h"
#include "engine/hash_placement.h"
#include "engine/worker_pool.h"
#include "scripted_runner.h"

namespace krelix::test {
namespace {

TEST_F(CompareTest, GroupsFilesOfEqualSizeAndContent) {
    tree.AddFile("ten/a", "0123456789");
    tree.AddFile("ten/b", "abcdefghij");
    tree.AddFile("three/x", "abc");
    tree.AddFile("three/y", "abc");
    tree.AddFile("three/z", "abd");
    tree.AddFile("empty1", "");
    tree.AddFile("sub/empty2", "");
    tree.AddFile("unique size", "only one of eleven");
    tree.AddSizedFile("big/one", 2'000'001, 'q');  // read in two stages
    tree.AddSizedFile("big/two", 2'000'001, 'q');
    Run();

    const Groups expected = {
        {"000000000", {"empty1", "sub/empty2"}},
        {"3C2412435", {"three/x", "three/y"}},
        {"2000001" + CrcTextOf(std::string(2'000'001, 'q')), {"big/one", "big/two"}},
    };
    EXPECT_EQ(expected, Duplicates());
    // Files alone with their first block are dropped after the first stage.
    EXPECT_EQ(expected, Results());
    // A file whose size no other file has is never looked at.
    const auto compared = ComparedPaths();
    EXPECT_EQ(9u, compared.size());
    EXPECT_EQ(compared.end(), std::find(compared.begin(), compared.end(), "unique size"));
    for (const auto& [key, item] : engine->resultMap) {
        EXPECT_EQ(item.name(), item.path.substr(item.path.rfind('/') + 1));
        EXPECT_EQ(0, item.rowIndex);
        EXPECT_EQ(0, item.deleted);
    }
}

TEST_F(CompareTest, ReportsTheShareOfCandidateBytesHashed) {
    tree.AddFile("a", "abc");
    tree.AddFile("b", "abc");
    tree.AddFile("c", "abcdefg");  // unique size: not a candidate
    Run();
    ASSERT_EQ(2, CountNotices(ProgressNotice::Kind::Comparing));
    for (const ProgressNotice& notice : sink.notices) {
        EXPECT_EQ(6u, notice.bytesToHash);
        EXPECT_EQ(3u, notice.filesFound);
    }
    EXPECT_EQ(0u, sink.notices[0].bytesHashed);
    EXPECT_EQ(3u, sink.notices[1].bytesHashed);
    EXPECT_EQ(6u, sink.notices.back().bytesHashed);
    EXPECT_TRUE(sink.notices.back().path.empty());
}

// Every stage queues its batches while the queue is short and hashes them inline otherwise;
// either way the groups are the same.
TEST_F(CompareTest, QueuedAndInlineBatchesGiveTheSameGroups) {
    for (int i = 0; i < 40; ++i) {
        tree.AddFile("small/" + std::to_string(i), "pair " + std::to_string(i / 2));
    }
    tree.AddSizedFile("big/one", 3 * kFirstBlockSize + 1, 'q');
    tree.AddSizedFile("big/two", 3 * kFirstBlockSize + 1, 'q');
    Groups first;
    for (const std::size_t pending : {std::size_t{0}, kQueueLimit}) {
        auto runner = std::make_unique<ScriptedRunner>(std::vector<std::size_t>{pending});
        ScriptedRunner* scripted = runner.get();
        Run(std::move(runner));
        // Two batches of first blocks and one of the rest, all queued or all inline.
        EXPECT_EQ(pending == 0 ? 3u : 0u, scripted->ranFromQueue());
        EXPECT_EQ(21u, Duplicates().size());
        if (first.empty()) {
            first = Duplicates();
        }
        EXPECT_EQ(first, Duplicates());
    }
}

TEST_F(CompareTest, AMemberThatVanishesOrBecomesAFifoIsLeftOutSilently) {
    for (const bool fifo : {false, true}) {
        tree.AddFile("pair/a", "same");
        tree.AddFile("pair/b", "same");
        tree.AddFile("trio/a", "three");
        tree.AddFile("trio/b", "three");
        tree.AddFile("trio/c", "three");
        // The fifth recorded file ends the walk.
        sink.onNotice = [&](const ProgressNotice& notice) {
            if (notice.kind == ProgressNotice::Kind::Searching) {
                for (const char* name : {"pair/a", "trio/a"}) {
                    ASSERT_EQ(0, ::unlink(tree.Path(name).c_str()));
                    if (fifo) {
                        ASSERT_EQ(0, ::mkfifo(tree.Path(name).c_str(), 0644));
                    }
                }
            }
        };
        Run();
        const Groups expected = {{"5" + CrcTextOf("three"), {"trio/b", "trio/c"}}};
        EXPECT_EQ(expected, Duplicates()) << (fifo ? "fifo" : "deleted");
        // Gone or replaced is not unreadable.
        EXPECT_EQ(0, request.unreadableFiles);
        ::unlink(tree.Path("pair/a").c_str());
        ::unlink(tree.Path("trio/a").c_str());
    }
}

TEST_F(CompareTest, AFileThatChangesSizeAfterItWasRecordedJoinsNoGroup) {
    for (const char* name : {"a", "b", "c", "d"}) {
        tree.AddFile(name, "content");
    }
    sink.onNotice = [&](const ProgressNotice& notice) {
        if (notice.kind != ProgressNotice::Kind::Comparing) {
            return;
        }
        const std::string name = Relative(notice.path);
        if (name == "a") {
            std::ofstream(notice.path, std::ios::app) << "grown";
        } else if (name == "b") {
            ASSERT_EQ(0, ::truncate(notice.path.c_str(), 3));
        }
    };
    Run();
    const Groups expected = {{"7" + CrcTextOf("content"), {"c", "d"}}};
    EXPECT_EQ(expected, Results());
    EXPECT_EQ(0, request.unreadableFiles);
}

TEST_F(CompareTest, StopDuringComparisonKeepsWhatWasHashedBefore) {
    for (int i = 0; i < 20; ++i) {
        const std::string content = "pair " + std::to_string(i);
        tree.AddFile("p" + std::to_string(i) + "/a", content);
        tree.AddFile("p" + std::to_string(i) + "/b", content);
    }
    const int stopAt = 11;
    // Inline, so that each file is hashed right after its notice.
    engine = std::make_unique<CVornex>(
        SkipFolders{}, std::make_unique<ScriptedRunner>(std::vector<std::size_t>{kQueueLimit}));
    sink.onNotice = [&](const ProgressNotice& notice) {
        if (notice.kind == ProgressNotice::Kind::Comparing &&
            CountNotices(ProgressNotice::Kind::Comparing) == stopAt) {
            engine->stopFlag = 1;
        }
    };
    Run();
    // The visit ends after the file being compared, which itself fails at its first chunk; the
    // pairs both of whose files were compared before are kept.
    const auto compared = ComparedPaths();
    ASSERT_EQ(static_cast<std::size_t>(stopAt), compared.size());
    std::vector<std::string> before(compared.begin(), compared.end() - 1);
    std::sort(before.begin(), before.end());
    std::vector<std::string> expected;
    for (std::size_t i = 0; i + 1 < before.size(); ++i) {
        if (before[i].substr(0, before[i].find('/')) ==
            before[i + 1].substr(0, before[i + 1].find('/'))) {
            expected.push_back(before[i]);
            expected.push_back(before[i + 1]);
        }
    }
    std::vector<std::string> hashed;
    for (const auto& [key, paths] : Results()) {
        hashed.insert(hashed.end(), paths.begin(), paths.end());
    }
    std::sort(hashed.begin(), hashed.end());
    EXPECT_EQ(expected, hashed);
    EXPECT_FALSE(Duplicates().empty());
}

TEST_F(CompareTest, StopDuringTheWalkHashesNothingButEmptyFiles) {
    for (int i = 0; i < 12; ++i) {
        tree.AddFile("f" + std::to_string(i), "same");
    }
    sink.onNotice = [&](const ProgressNotice& notice) {
        if (notice.kind == ProgressNotice::Kind::Searching && notice.filesFound == 5) {
            engine->stopFlag = 1;
        }
    };
    Run();
    EXPECT_EQ(5, request.filesScanned);
    EXPECT_TRUE(engine->resultMap.empty());
    EXPECT_LE(CountNotices(ProgressNotice::Kind::Comparing), 1);
}

TEST_F(CompareTest, RunsInARowReuseTheSameTwoWorkers) {
    int starts = 0;
    auto starter = [&starts](boost::function<void()> body) {
        ++starts;
        return boost::thread(std::move(body));
    };
    tree.AddSizedFile("a", 2'500'000, 'a');
    tree.AddSizedFile("b", 2'500'000, 'a');
    auto pool = std::make_unique<WorkerPool>(starter);
    WorkerPool* workers = pool.get();
    Run(std::move(pool));
    EXPECT_EQ(1u, Duplicates().size());
    tree.AddSizedFile("c", 2'500'000, 'a');
    Run();
    EXPECT_EQ(3u, Duplicates().begin()->second.size());
    EXPECT_EQ(2, starts);
    EXPECT_EQ(2u, workers->LiveWorkers());
}

TEST_F(CompareTest, WithoutWorkersLargeFilesAreStillHashed) {
    tree.AddSizedFile("a", 12'000'000, 'z');
    tree.AddSizedFile("b", 12'000'000, 'z');
    Run(std::make_unique<WorkerPool>(
        [](boost::function<void()>) -> boost::thread { throw boost::thread_resource_error(); }));
    EXPECT_EQ(1u, Duplicates().size());
}

TEST_F(CompareTest, EmptyRequestEndsNormally) {
    request.includeFolders.clear();
    request.progressWindow = nullptr;
    engine = std::make_unique<CVornex>(SkipFolders{});
    engine->Run(request);
    EXPECT_EQ(0, request.filesScanned);
    EXPECT_TRUE(engine->resultMap.empty());
    EXPECT_EQ(1, engine->stopFlag.load());
    EXPECT_EQ(1, completions);
}

}  // namespace
}  // namespace krelix::test
