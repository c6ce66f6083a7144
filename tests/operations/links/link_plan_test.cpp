#include "operations/links/link_plan.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <list>

#include "support/kernel_mount.h"
#include "support/temp_tree.h"

namespace krelix {
namespace {

TEST(ProtectedFoldersTest, CoverWholeFolderNamesExactly) {
    const ProtectedFolders folders({"/home/ann/Photos", "/data/"});
    EXPECT_TRUE(folders.Covers("/home/ann/Photos/a.jpg"));
    EXPECT_TRUE(folders.Covers("/home/ann/Photos/2023/b.jpg"));
    EXPECT_TRUE(folders.Covers("/data/x"));
    EXPECT_FALSE(folders.Covers("/home/ann/Photos2/a.jpg"));  // a folder sharing the beginning
    EXPECT_FALSE(folders.Covers("/home/ann/photos/a.jpg"));   // letter case counts
    EXPECT_FALSE(folders.Covers("/home/ann/Photos"));
    EXPECT_FALSE(ProtectedFolders().Covers("/data/x"));
}

// However a path reaches a protected folder, its files are covered: the folder is known by what
// it is on disk.
TEST(ProtectedFoldersTest, AFolderIsKnownByWhatItIsNotByHowItIsSpelled) {
    test::TempTree tree;
    tree.AddFile("real/sub/f", "x");
    tree.AddFile("real2/f", "x");
    tree.AddSymlink("zz", tree.Path("real"));
    const std::string relative =
        std::filesystem::relative(tree.Path("real"), std::filesystem::current_path()).string();
    const test::KernelMount bind = test::KernelMount::Bind(tree.Path("real"), tree.Path("mnt"),
                                                           test::KernelMount::Access::ReadWrite);
    const struct {
        std::string protect;
        std::string path;
        bool covered;
    } cases[] = {
        {tree.Path("real"), tree.Path("zz/f"), true},
        {tree.Path("real"), tree.Path("zz/sub/f"), true},
        {tree.Path("real"), tree.Path("real2/../zz/sub/f"), true},
        {tree.Path("zz"), tree.Path("real/sub/f"), true},
        {tree.Path("real/../real"), tree.Path("real/f"), true},
        {relative, tree.Path("zz/f"), true},
        {tree.Path("real/sub"), tree.Path("zz/sub/gone/f"), true},  // a folder removed since
        {tree.Path("real"), tree.Path("real2/f"), false},
        {tree.Path("real/sub"), tree.Path("zz/f"), false},
        {tree.Path("zz"), tree.Path("zz"), false},  // the folder itself is no file in it
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.covered, ProtectedFolders({c.protect}).Covers(c.path))
            << c.protect << " over " << c.path;
    }
    if (!bind.ok()) {
        GTEST_SKIP() << bind.why();
    }
    EXPECT_TRUE(ProtectedFolders({tree.Path("real")}).Covers(tree.Path("mnt/sub/f")));
    EXPECT_TRUE(ProtectedFolders({tree.Path("mnt")}).Covers(tree.Path("real/f")));
    EXPECT_FALSE(ProtectedFolders({tree.Path("mnt/sub")}).Covers(tree.Path("real/f")));
}

class LinkPlanTest : public ::testing::Test {
  protected:
    CFileItem* Add(const std::string& path, const std::string& group) {
        CFileItem& item = records.emplace_back();
        item.path = path;
        item.groupKey = group;
        listed.push_back(&item);
        return &item;
    }
    CopyCheck OnDiskExcept(const CFileItem* missing) {
        return [missing](const CFileItem& item) { return &item != missing; };
    }

    std::list<CFileItem> records;
    std::vector<CFileItem*> listed;
};

TEST_F(LinkPlanTest, TheKeptFileIsTheFirstUncheckedCopyInListOrder) {
    CFileItem* a1 = Add("/t/a1", "A");
    CFileItem* b1 = Add("/t/b1", "B");
    CFileItem* a2 = Add("/t/a2", "A");  // gone from disk: cannot be kept
    CFileItem* a3 = Add("/t/a3", "A");
    CFileItem* a4 = Add("/t/a4", "A");
    CFileItem* b2 = Add("/t/b2", "B");
    Add("/t/c1", "C");  // a group with nothing checked has no plan
    Add("/t/c2", "C");
    b2->deleted = 1;
    CFileItem* const checked[] = {a1, a4, b1, b2};

    const auto plans = PlanLinkGroups(checked, listed, {}, OnDiskExcept(a2));
    ASSERT_EQ(2u, plans.size());
    EXPECT_EQ(a3, plans[0].kept);
    EXPECT_EQ((std::vector<CFileItem*>{a1, a4}), plans[0].targets);
    EXPECT_EQ((std::vector<CFileItem*>{a1, a2, a3, a4}), plans[0].members);
    EXPECT_EQ(nullptr, plans[1].kept);  // its only unchecked member is deleted
    EXPECT_EQ((std::vector<CFileItem*>{b1}), plans[1].targets);
}

TEST_F(LinkPlanTest, ProtectedFilesAreNeverTargetsButMayBeKept) {
    CFileItem* free1 = Add("/t/free/1", "A");
    CFileItem* kept = Add("/t/safe/2", "A");
    CFileItem* checkedSafe = Add("/t/safe/3", "A");
    CFileItem* free4 = Add("/t/free/4", "A");
    CFileItem* const checked[] = {free1, checkedSafe, free4};

    const auto plans =
        PlanLinkGroups(checked, listed, ProtectedFolders({"/t/safe/"}), OnDiskExcept(nullptr));
    ASSERT_EQ(1u, plans.size());
    EXPECT_EQ(kept, plans[0].kept);
    EXPECT_EQ((std::vector<CFileItem*>{free1, free4}), plans[0].targets);

    CFileItem* const onlyProtected[] = {checkedSafe};
    EXPECT_TRUE(PlanLinkGroups(onlyProtected, listed, ProtectedFolders({"/t/safe/"})).empty());
}

}  // namespace
}  // namespace krelix
