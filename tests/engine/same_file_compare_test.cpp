// A group holds different files with the same bytes: never one file reached twice, never a
// file whose bytes changed while they were read.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <cerrno>
#include <string>

#include "compare_fixture.h"
#include "engine/file_crc.h"

namespace krelix::test {
namespace {

// Content of the given size made of three parts, so that the first and last blocks can be
// shared while the middle differs.
std::string Parts(char first, char middle, char last, std::size_t size = 100 * 1024) {
    std::string bytes(size, middle);
    std::fill_n(bytes.begin(), kFirstBlockSize, first);
    std::fill_n(bytes.end() - static_cast<std::ptrdiff_t>(kFirstBlockSize), kFirstBlockSize, last);
    return bytes;
}

// A bind mount undone at the end of the test, before the tree is removed.
class BindMount {
  public:
    BindMount(const std::string& source, const std::string& target) : target_(target) {
        if (::mount(source.c_str(), target.c_str(), nullptr, MS_BIND, nullptr) != 0) {
            error_ = errno;
        }
    }
    ~BindMount() {
        if (error_ == 0) {
            ::umount2(target_.c_str(), MNT_DETACH);
        }
    }
    BindMount(const BindMount&) = delete;
    BindMount& operator=(const BindMount&) = delete;
    int error() const { return error_; }

  private:
    std::string target_;
    int error_ = 0;
};

TEST_F(CompareTest, AHardLinkMadeDuringTheWalkIsNotItsOwnDuplicate) {
    // The first folder's five files are recorded before the link exists; the link is found in
    // the subfolder read after them.
    tree.AddFile("a/one", "same bytes");
    tree.AddFile("a/two", "same bytes");
    tree.AddFile("a/solo", "alone, and linked");
    tree.AddFile("a/x", "x");
    tree.AddFile("a/yy", "yy");
    tree.AddFolder("a/z");
    request.includeFolders = {tree.Path("a")};
    bool linked = false;
    sink.onNotice = [&](const ProgressNotice& notice) {
        if (!linked && notice.kind == ProgressNotice::Kind::Searching) {
            linked = true;
            tree.AddHardLink("a/z/solo-link", "a/solo");
            tree.AddHardLink("a/z/one-link", "a/one");
        }
    };
    Run();
    ASSERT_TRUE(linked);
    const Groups groups = Duplicates();
    ASSERT_EQ(1u, groups.size());
    const std::vector<std::string>& members = groups.begin()->second;
    ASSERT_EQ(2u, members.size());
    EXPECT_EQ("a/two", members[0] == "a/two" ? members[0] : members[1]);
    const std::string& one = members[0] == "a/two" ? members[1] : members[0];
    EXPECT_TRUE(one == "a/one" || one == "a/z/one-link") << one;
}

TEST_F(CompareTest, AFileMountedOverAnotherIsNotItsOwnDuplicate) {
    tree.AddFile("m/source", "mounted");
    tree.AddFile("m/target", "covered");
    tree.AddFile("n/copy", "mounted");
    tree.AddFile("n/solo", "alone!!");
    tree.AddFile("n/over", "abcdefg");
    const BindMount mount(tree.Path("m/source"), tree.Path("m/target"));
    if (mount.error() != 0) {
        GTEST_SKIP() << "bind mounts are not permitted here: " << std::strerror(mount.error());
    }
    tree.AddFile("p/alone", "only me");
    const BindMount overAlone(tree.Path("n/solo"), tree.Path("n/over"));
    ASSERT_EQ(0, overAlone.error());
    Run();
    const Groups groups = Duplicates();
    ASSERT_EQ(1u, groups.size());
    const std::vector<std::string>& members = groups.begin()->second;
    ASSERT_EQ(2u, members.size());
    EXPECT_TRUE(members[0] == "m/source" || members[0] == "m/target") << members[0];
    EXPECT_EQ("n/copy", members[1]);
}

// The first stage sees the first and last blocks of one version and the second stage the middle
// of the next, which together equal another file that the changed file never equalled.
TEST_F(CompareTest, AFileChangedBetweenTheStagesJoinsNoGroup) {
    tree.AddFile("a", Parts('F', '1', 'L'));
    tree.AddFile("b", Parts('F', '2', 'L'));
    tree.AddFile("c", Parts('F', '3', 'L'));
    tree.AddFile("d", Parts('F', '3', 'L'));
    EngineOptions options;
    options.afterFirstStage = [this] { tree.EditKeepingModifiedTime("b", Parts('G', '1', 'K')); };
    engine = std::make_unique<CVornex>(SkipFolders{}, std::move(options));
    Run();
    const Groups groups = Results();
    EXPECT_EQ((Groups{{MakeGroupKey(100 * 1024, CrcTextOf(Parts('F', '3', 'L'))), {"c", "d"}}}),
              Duplicates());
    for (const auto& [key, members] : groups) {
        EXPECT_EQ(members.end(), std::find(members.begin(), members.end(), "b")) << key;
    }
}

TEST_F(CompareTest, AFileEditedAfterTheWalkWithItsTimeSetBackJoinsNoGroup) {
    tree.AddFile("small/a", "aaaa");
    tree.AddFile("small/b", "bbbb");
    tree.AddFile("large/a", Parts('F', '1', 'L'));
    tree.AddFile("large/b", Parts('F', '2', 'L'));
    sink.onNotice = [&](const ProgressNotice& notice) {
        if (notice.kind == ProgressNotice::Kind::Comparing && notice.path == tree.Path("small/b")) {
            tree.EditKeepingModifiedTime("small/b", "aaaa");
        }
    };
    EngineOptions options;
    options.afterFirstStage = [this] {
        tree.EditKeepingModifiedTime("large/b", Parts('F', '1', 'L'));
    };
    engine = std::make_unique<CVornex>(SkipFolders{}, std::move(options));
    Run();
    EXPECT_EQ(Groups{}, Duplicates());
}

}  // namespace
}  // namespace krelix::test
