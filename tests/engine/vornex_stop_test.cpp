#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "engine/search_flags.h"
#include "support/as_ordinary_user.h"
#include "walk_fixture.h"

namespace krelix::test {
namespace {

TEST_F(WalkTest, ReportsEveryFifthRecordedFileByValue) {
    for (int i = 0; i < 12; ++i) {
        tree.AddFile("f" + std::to_string(i) + (i < 3 ? ".keep" : ".drop"), "x");
    }
    RecordingSink sink;
    request.progressWindow = &sink;
    Walk(0);
    ASSERT_EQ(2u, sink.notices.size());
    EXPECT_EQ(5u, sink.notices[0].filesFound);
    EXPECT_EQ(10u, sink.notices[1].filesFound);
    for (const ProgressNotice& notice : sink.notices) {
        EXPECT_EQ(ProgressNotice::Kind::Searching, notice.kind);
        bool recorded = false;
        for (const auto& entry : engine->resultMap) {
            recorded = recorded || entry.second.path == notice.path;
        }
        EXPECT_TRUE(recorded) << notice.path;
    }

    // Three of the twelve pass: no notice. The count starts afresh with every walk.
    sink.notices.clear();
    request.includePatterns = {"*.keep"};
    request.filesScanned = 4;
    Walk(0);
    EXPECT_EQ(3, request.filesScanned);
    EXPECT_TRUE(sink.notices.empty());
}

TEST_F(WalkTest, StopDuringRecordingEndsTheWholeWalkAtOnce) {
    for (const char* folder : {"a/", "a/sub/", "a/sub/deeper/", "b/", "c/"}) {
        for (int i = 0; i < 4; ++i) {
            tree.AddFile(std::string(folder) + "f" + std::to_string(i), "x");
        }
    }
    for (int stopAt : {5, 10, 15}) {
        RecordingSink sink;
        sink.onNotice = [&](const ProgressNotice& notice) {
            if (notice.filesFound == static_cast<std::uint64_t>(stopAt)) {
                engine->stopFlag = 1;
            }
        };
        request.progressWindow = &sink;
        // Several start folders: the later ones are not entered either.
        const Paths paths = Walk(SEARCH_SUBDIRS, {"a/", "b/", "c/"});
        EXPECT_EQ(static_cast<std::size_t>(stopAt), paths.size());
        EXPECT_EQ(stopAt, request.filesScanned);
        EXPECT_EQ(1, engine->stopFlag.load());
    }
}

TEST_F(WalkTest, SetStopFlagKeepsAFolderFromBeingEntered) {
    tree.AddFile("f", "x");
    engine = std::make_unique<CVornex>(skip);
    ASSERT_EQ(1, engine->stopFlag.load());  // as constructed, before any run
    request.optionFlags = SEARCH_SUBDIRS;
    engine->ScanFolder(tree.root(), request);
    EXPECT_TRUE(engine->resultMap.empty());
    EXPECT_EQ(0, request.filesScanned);
}

TEST_F(WalkTest, FolderThatVanishesBeforeItIsEnteredContributesNothing) {
    for (int i = 0; i < 5; ++i) {
        tree.AddFile("f" + std::to_string(i), "x");
    }
    tree.AddFile("sub/g", "y");
    tree.AddFile("sub/h", "z");
    RecordingSink sink;
    // A folder's own files are recorded before any of its subfolders is entered.
    sink.onNotice = [&](const ProgressNotice&) { std::filesystem::remove_all(tree.Path("sub")); };
    request.progressWindow = &sink;
    EXPECT_EQ(5u, Walk(SEARCH_SUBDIRS).size());
    EXPECT_EQ(0, request.unreadableFolders);  // gone is not unreadable
}

// Deeper than any path the system can open: the reachable part is walked, the rest left out,
// with one open folder at a time and no recursion.
TEST_F(WalkTest, VeryDeepTreeNeitherCrashesNorRunsOutOfDescriptors) {
    constexpr int kLevels = 3000;
    int fd = ::open(tree.root().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    for (int level = 1; level <= kLevels; ++level) {
        ASSERT_EQ(0, ::mkdirat(fd, "d", 0755));
        const int next = ::openat(fd, "d", O_RDONLY | O_DIRECTORY);
        ::close(fd);
        ASSERT_GE(next, 0);
        fd = next;
        if (level % 100 == 0) {
            const int file = ::openat(fd, "f", O_WRONLY | O_CREAT, 0644);
            ASSERT_GE(file, 0);
            ::close(file);
        }
    }
    ::close(fd);
    const Paths paths = Walk(SEARCH_SUBDIRS);
    // Each level adds two bytes to the path; paths end where the system's limit is.
    const std::size_t reachable = (PATH_MAX - tree.root().size()) / 200;
    EXPECT_GE(paths.size(), reachable - 1);
    EXPECT_LE(paths.size(), reachable + 1);
    EXPECT_LT(paths.size(), static_cast<std::size_t>(kLevels / 100));
    // The first level too deep to open is counted; nothing below it is ever seen.
    EXPECT_EQ(1, request.unreadableFolders);
}

// Reading permissions cannot stop root, so the walk runs in a child that gives up root first.
// The engine is made there: its workers must not exist yet when the process forks.
TEST_F(WalkTest, UnreadableFolderContributesNothing) {
    tree.AddFile("open/file", "x");
    tree.AddFile("locked/file", "y");
    tree.SetMode("", 0755);
    tree.SetMode("open", 0755);
    tree.SetMode("open/file", 0644);
    tree.SetMode("locked", 0);
    request.includeFolders = {tree.root()};
    request.optionFlags = SEARCH_SUBDIRS;

    const ChildOutcome outcome = RunAsOrdinaryUser([&] {
        CVornex child(skip);
        child.Walk(request);
        return request.filesScanned == 1 && child.resultMap.size() == 1 &&
               child.resultMap.begin()->second.path == tree.Path("open/file") &&
               request.unreadableFolders == 1;
    });
    if (outcome == ChildOutcome::CannotDropRoot) {
        GTEST_SKIP() << "running as root and cannot change to an ordinary user";
    }
    EXPECT_EQ(ChildOutcome::Passed, outcome);
}

}  // namespace
}  // namespace krelix::test
