#include "app/search/progress_mailbox.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace krelix {
namespace {

ProgressNotice Notice(ProgressNotice::Kind kind, std::string path, std::uint64_t found = 0) {
    ProgressNotice notice;
    notice.kind = kind;
    notice.path = std::move(path);
    notice.filesFound = found;
    return notice;
}

TEST(ProgressMailbox, KeepsTheLatestNoticeUntilTheComparisonEnds) {
    ProgressMailbox box;
    EXPECT_FALSE(box.Take());
    box.OnProgress(Notice(ProgressNotice::Kind::Searching, "/a", 5));
    box.OnProgress(Notice(ProgressNotice::Kind::Comparing, "/b", 10));
    std::optional<ProgressNotice> taken = box.Take();
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->path, "/b");
    EXPECT_FALSE(box.Take()) << "nothing new since";

    box.OnProgress(Notice(ProgressNotice::Kind::ComparisonEnded, ""));
    box.OnProgress(Notice(ProgressNotice::Kind::Comparing, "/late"));
    EXPECT_TRUE(box.Latched());
    taken = box.Take();
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->kind, ProgressNotice::Kind::ComparisonEnded);
    EXPECT_FALSE(box.Take()) << "a notice after the end is dropped";

    box.Reset();
    EXPECT_FALSE(box.Latched());
    EXPECT_FALSE(box.Take());
    box.OnProgress(Notice(ProgressNotice::Kind::Searching, "/next"));
    EXPECT_EQ(box.Take()->path, "/next");
}

// Notices from another thread while this one takes: every take is whole, the last one wins.
TEST(ProgressMailbox, TakesWholeNoticesWhileAnotherThreadDelivers) {
    ProgressMailbox box;
    int hooked = 0;
    box.SetHook([&](const ProgressNotice&) { ++hooked; });
    constexpr int kCount = 20000;
    std::thread engine([&] {
        for (int i = 1; i <= kCount; ++i) {
            box.OnProgress(Notice(ProgressNotice::Kind::Searching, std::to_string(i), i));
        }
    });
    std::uint64_t last = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (last < kCount && std::chrono::steady_clock::now() < deadline) {
        if (const std::optional<ProgressNotice> notice = box.Take()) {
            ASSERT_EQ(notice->path, std::to_string(notice->filesFound));
            ASSERT_GE(notice->filesFound, last);
            last = notice->filesFound;
        }
    }
    engine.join();
    EXPECT_EQ(last, std::uint64_t{kCount});
    EXPECT_EQ(hooked, kCount);
}

}  // namespace
}  // namespace krelix
