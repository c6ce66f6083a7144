// Progress of the comparison: the bytes of both stages, and the file being read named while a
// large file is read.
#include <gtest/gtest.h>

#include <set>

#include "compare_fixture.h"
#include "engine/file_crc.h"
#include "engine/hash_placement.h"
#include "scripted_runner.h"

namespace krelix::test {
namespace {

TEST_F(CompareTest, ReadingNoticesFollowTheSecondStageThroughEveryFile) {
    const std::uint64_t size = 4 * kChunkSize + 3 * kFirstBlockSize;
    for (const char* name : {"a", "b", "c"}) {
        tree.AddSizedFile(name, size, 'r');
    }
    tree.AddSizedFile("other", size, 'o');  // differs at its first block: never read further
    EngineOptions options;
    options.readingNoticeInterval = std::chrono::nanoseconds(0);
    engine = std::make_unique<CVornex>(
        SkipFolders{}, std::make_unique<ScriptedRunner>(std::vector<std::size_t>{kQueueLimit}),
        std::move(options));
    Run();

    std::vector<std::string> files;  // in the order read, each once while it is read
    std::uint64_t hashed = 0;
    int reading = 0;
    for (const ProgressNotice& notice : sink.notices) {
        if (notice.kind != ProgressNotice::Kind::Reading) {
            continue;
        }
        ++reading;
        EXPECT_GT(notice.bytesHashed, hashed);
        EXPECT_LE(notice.bytesHashed, notice.bytesToHash);
        hashed = notice.bytesHashed;
        if (files.empty() || files.back() != Relative(notice.path)) {
            files.push_back(Relative(notice.path));
        }
    }
    EXPECT_EQ((std::set<std::string>{"a", "b", "c"}),
              std::set<std::string>(files.begin(), files.end()));
    EXPECT_EQ(3u, files.size()) << "one file after another on one thread";
    EXPECT_GE(reading, 3 * 4) << "a notice per chunk when the interval is 0";
    EXPECT_EQ(4 * size, sink.notices.back().bytesHashed);
    EXPECT_EQ(4 * size, sink.notices.back().bytesToHash);
}

TEST_F(CompareTest, ReadingNoticesAreRateLimited) {
    const std::uint64_t size = 16 * kChunkSize;
    tree.AddSizedFile("a", size, 'r');
    tree.AddSizedFile("b", size, 'r');
    EngineOptions options;
    options.readingNoticeInterval = std::chrono::hours(1);
    engine = std::make_unique<CVornex>(SkipFolders{}, std::move(options));
    Run();
    EXPECT_EQ(1, CountNotices(ProgressNotice::Kind::Reading)) << "the first, then one an hour";
    EXPECT_EQ(2 * size, sink.notices.back().bytesHashed);
}

}  // namespace
}  // namespace krelix::test
