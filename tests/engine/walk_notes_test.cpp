// What a run tells besides its groups: start folders a rule kept out, and what it could not read.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

#include "compare_fixture.h"
#include "engine/search_flags.h"
#include "scripted_runner.h"
#include "support/as_ordinary_user.h"
#include "support/long_path.h"
#include "walk_fixture.h"

namespace krelix::test {
namespace {

std::vector<SkippedStartFolder> Sorted(std::vector<SkippedStartFolder> skipped) {
    std::sort(skipped.begin(), skipped.end(),
              [](const auto& a, const auto& b) { return a.folder < b.folder; });
    return skipped;
}

TEST_F(WalkTest, EachStartFolderARuleKeepsOutIsNotedWithItsRule) {
    for (const char* file : {"tmp/photos/a", "cache/b", "proc/c", "usr/d", "opt/e", "trash/f",
                             ".hidden/g", "excluded/h", "keep/i", "keep/tmp-inside/j"}) {
        tree.AddFile(file, "x");
    }
    skip.temporary = {tree.Path("tmp/")};
    skip.internetCache = {tree.Path("cache/")};
    skip.system = {tree.Path("proc/")};
    skip.windows = {tree.Path("usr/")};
    skip.programFiles = {tree.Path("opt/")};
    skip.recycleBin = {tree.Path("trash/")};
    request.excludeFolders = {tree.Path("excluded/"), tree.Path("keep/tmp-inside/")};
    const std::vector<std::string> starts = {"tmp/photos", "cache/",  "proc",     "usr", "opt",
                                             "trash",      ".hidden", "excluded", "keep"};
    EXPECT_EQ(Paths{"keep/i"}, Walk(DEFAULT_SEARCH_FLAGS, starts));
    // Only start folders are noted: keep/tmp-inside/ is left out as the walk reaches it.
    const std::vector<SkippedStartFolder> expected = {
        {tree.Path(".hidden/"), SkipRule::HiddenFolder},
        {tree.Path("cache/"), SkipRule::CacheFolder},
        {tree.Path("excluded/"), SkipRule::ExcludedFolder},
        {tree.Path("opt/"), SkipRule::ApplicationFolder},
        {tree.Path("proc/"), SkipRule::SystemFolder},
        {tree.Path("tmp/photos/"), SkipRule::TemporaryFolder},
        {tree.Path("trash/"), SkipRule::RecycleBin},
        {tree.Path("usr/"), SkipRule::OperatingSystemFolder},
    };
    EXPECT_EQ(expected, Sorted(request.skippedStartFolders));

    // The next walk starts afresh; with the settings off every start folder is searched.
    request.excludeFolders.clear();
    EXPECT_EQ(10u, Walk(SEARCH_SUBDIRS, starts).size());
    EXPECT_TRUE(request.skippedStartFolders.empty());
}

TEST(SkipRuleTest, EveryRuleButExclusionNamesItsSetting) {
    EXPECT_EQ(0u, SkipRuleFlag(SkipRule::ExcludedFolder));
    EXPECT_EQ(std::uint32_t{SKIP_TEMP_FILES}, SkipRuleFlag(SkipRule::CacheFolder));
    EXPECT_EQ(std::uint32_t{SKIP_WINDOWS_FOLDER}, SkipRuleFlag(SkipRule::OperatingSystemFolder));
    EXPECT_STREQ("it lies in a temporary folder", SkipRuleReason(SkipRule::TemporaryFolder));
}

// Paths too long to open fail as a permission would, and the tests need no permission to make
// them: a folder whose path is too long, and two equal files that the walk lists (it reads
// status relative to the folder) but the comparison cannot open.
TEST_F(CompareTest, PathsTooLongToOpenAreCountedAsUnreadable) {
    NearPathMax deep(tree.root());
    const std::string folder = deep.AddTooLong('f', std::nullopt) + '/';
    const std::string a = deep.AddTooLong('a', "same");
    const std::string b = deep.AddTooLong('b', "same");
    tree.AddFile("x", "pair");
    tree.AddFile("y", "pair");
    for (const bool list : {false, true}) {
        request.listUnreadable = list;
        Run();
        EXPECT_EQ(4, request.filesScanned);
        EXPECT_EQ(1u, Duplicates().size());
        EXPECT_EQ(2, request.unreadableFiles);
        EXPECT_EQ(1, request.unreadableFolders);
        std::vector<std::string> paths = request.unreadablePaths;
        std::sort(paths.begin(), paths.end());
        const std::vector<std::string> expected =
            list ? std::vector<std::string>{a, b, folder} : std::vector<std::string>{};
        EXPECT_EQ(expected, paths);
    }
}

// Permissions do not stop root, so the run happens in a child that gives up root first; its
// engine hashes on the child's own thread.
TEST_F(CompareTest, FoldersAndFilesWithoutReadPermissionAreCounted) {
    tree.AddFile("locked/file", "y");
    tree.AddFile("open/a", "same");
    tree.AddFile("open/b", "same");
    tree.AddFile("open/c", "same");
    tree.SetMode("", 0755);
    tree.SetMode("open", 0755);
    tree.SetMode("open/a", 0644);
    tree.SetMode("open/b", 0);
    tree.SetMode("open/c", 0644);
    tree.SetMode("locked", 0);
    request.listUnreadable = true;

    const ChildOutcome outcome = RunAsOrdinaryUser([&] {
        CVornex engine(SkipFolders{},
                       std::make_unique<ScriptedRunner>(std::vector<std::size_t>{0}));
        engine.Run(request);
        std::vector<std::string> paths = request.unreadablePaths;
        std::sort(paths.begin(), paths.end());
        return request.filesScanned == 3 && request.unreadableFiles == 1 &&
               request.unreadableFolders == 1 &&
               paths == std::vector<std::string>{tree.Path("locked/"), tree.Path("open/b")};
    });
    if (outcome == ChildOutcome::CannotDropRoot) {
        GTEST_SKIP() << "running as root and cannot change to an ordinary user";
    }
    EXPECT_EQ(ChildOutcome::Passed, outcome);
}

}  // namespace
}  // namespace krelix::test
