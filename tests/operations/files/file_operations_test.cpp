#include "operations/files/file_operations.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "support/child_process.h"
#include "support/immutable_folder.h"
#include "support/listed_record.h"
#include "support/temp_tree.h"

namespace krelix {
namespace {

using test::ImmutableFolder;
using test::ListedRecord;
using test::TempTree;

std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

struct stat Status(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(0, ::lstat(path.c_str(), &status)) << path;
    return status;
}

int CrossDevice(const std::string&, const std::string&) {
    return EXDEV;
}

class FileOperationsTest : public ::testing::Test {
  protected:
    CFileItem Listed(std::string_view relative, std::string_view content = "content") {
        tree.AddFile(relative, content);
        tree.SetModifiedTime(relative, 1'600'000'000);
        return ListedRecord(tree.Path(relative), "7ABCDEF01");
    }

    TempTree tree;
};

// What became of a listed file decides whether it may be acted on.
TEST_F(FileOperationsTest, CheckTellsChangedGoneAndReplacedFiles) {
    struct Case {
        const char* name;
        std::function<void(TempTree&, const std::string& path)> change;
        int expected;
    };
    const Case cases[] = {
        {"unchanged", [](TempTree&, const std::string&) {}, 0},
        {"grown", [](TempTree& t, const std::string&) { t.AddFile("d/f", "content!"); },
         kFileChanged},
        {"touched",
         [](TempTree& t, const std::string&) { t.SetModifiedTime("d/f", 1'600'000'001); },
         kFileChanged},
        {"edited, modification time set back",
         [](TempTree& t, const std::string&) { t.EditKeepingModifiedTime("d/f", "CONTENT"); },
         kFileChanged},
        {"replaced by another file of the same size and modification time",
         [](TempTree& t, const std::string& p) {
             t.AddFile("other", "content");
             t.SetModifiedTime("other", 1'600'000'000);
             ::rename(t.Path("other").c_str(), p.c_str());
         },
         kFileChanged},
        {"removed", [](TempTree&, const std::string& p) { ::unlink(p.c_str()); }, ENOENT},
        {"now a link to the same content",
         [](TempTree& t, const std::string& p) {
             t.AddFile("other", "content");
             ::unlink(p.c_str());
             t.AddSymlink("d/f", t.Path("other"));
         },
         kNotRegularFile},
        {"now a folder",
         [](TempTree& t, const std::string& p) {
             ::unlink(p.c_str());
             t.AddFolder("d/f");
         },
         kNotRegularFile},
        {"now a FIFO",
         [](TempTree& t, const std::string& p) {
             ::unlink(p.c_str());
             t.AddFifo("d/f");
         },
         kNotRegularFile},
        {"folder now a file",
         [](TempTree& t, const std::string&) {
             std::filesystem::remove_all(t.Path("d"));
             t.AddFile("d", "x");
         },
         ENOTDIR},
    };
    for (const Case& c : cases) {
        TempTree fresh;
        fresh.AddFile("d/f", "content");
        fresh.SetModifiedTime("d/f", 1'600'000'000);
        const CFileItem item = ListedRecord(fresh.Path("d/f"), "k");
        c.change(fresh, item.path);
        const int result = CheckListedFile(item);
        EXPECT_EQ(c.expected, result) << c.name;
        EXPECT_EQ(c.expected == ENOENT || c.expected == ENOTDIR, IsGone(result)) << c.name;
    }
}

TEST_F(FileOperationsTest, MoveWithinOneFileSystemNeverReplaces) {
    const CFileItem item = Listed("src/a", "mine");
    tree.AddFile("dst/a", "theirs");
    EXPECT_EQ(EEXIST, MoveListedFile(item, tree.Path("dst/a")));
    EXPECT_EQ("mine", tree.Read("src/a"));
    EXPECT_EQ("theirs", tree.Read("dst/a"));

    tree.AddFile("plain", "x");
    EXPECT_EQ(ENOTDIR, MoveListedFile(item, tree.Path("plain/a")));
    EXPECT_EQ(ENOENT, MoveListedFile(item, tree.Path("missing/a")));
}

TEST_F(FileOperationsTest, MoveAcrossFileSystemsCopiesContentModeAndTimeThenRemovesSource) {
    Listed("src/a", std::string(3 << 20, 'z'));
    tree.SetMode("src/a", 0640);
    const CFileItem item = ListedRecord(tree.Path("src/a"), "7ABCDEF01");
    tree.AddFolder("dst");
    ASSERT_EQ(0, MoveListedFile(item, tree.Path("dst/a"), CrossDevice));
    EXPECT_FALSE(tree.Exists("src/a"));
    EXPECT_EQ(std::string(3 << 20, 'z'), tree.Read("dst/a"));
    const struct stat moved = Status(tree.Path("dst/a"));
    EXPECT_EQ(0640u, moved.st_mode & 0777);
    EXPECT_EQ(1'600'000'000, moved.st_mtim.tv_sec);
    EXPECT_EQ(std::vector<std::string>{"a"}, Entries(tree.Path("dst")));
}

TEST_F(FileOperationsTest, FailedMoveAcrossFileSystemsLeavesSourceAndNoCopy) {
    tree.AddFile("dst/taken", "theirs");
    const CFileItem taken = Listed("src/taken", "mine");
    EXPECT_EQ(EEXIST, MoveListedFile(taken, tree.Path("dst/taken"), CrossDevice));
    EXPECT_EQ("theirs", tree.Read("dst/taken"));

    const CFileItem lost = Listed("src/lost");
    EXPECT_EQ(ENOENT, MoveListedFile(lost, tree.Path("missing/lost"), CrossDevice));

    CFileItem changed = Listed("src/changed");
    tree.AddFile("src/changed", "changed since the search");
    EXPECT_EQ(kFileChanged, MoveListedFile(changed, tree.Path("dst/changed"), CrossDevice));

    // Copied, but the source cannot be removed: the copy goes again.
    const CFileItem stuck = Listed("locked/stuck");
    {
        ImmutableFolder immutable(tree.Path("locked"));
        if (immutable.ok()) {
            EXPECT_EQ(EPERM, MoveListedFile(stuck, tree.Path("dst/stuck"), CrossDevice));
        }
    }
    EXPECT_TRUE(tree.Exists("src/taken"));
    EXPECT_TRUE(tree.Exists("src/lost"));
    EXPECT_EQ("changed since the search", tree.Read("src/changed"));
    EXPECT_TRUE(tree.Exists("locked/stuck"));
    EXPECT_EQ(std::vector<std::string>{"taken"}, Entries(tree.Path("dst")));
}

// /dev/shm is a tmpfs on most systems: a real move between two file systems.
TEST_F(FileOperationsTest, MoveToAnotherFileSystemForReal) {
    const CFileItem item = Listed("src/a", "real content");
    char folder[] = "/dev/shm/krelix-move-XXXXXX";
    if (::mkdtemp(folder) == nullptr) {
        GTEST_SKIP() << "no /dev/shm";
    }
    const std::string target = std::string(folder) + "/a";
    if (Status(folder).st_dev == Status(item.path).st_dev) {
        std::filesystem::remove_all(folder);
        GTEST_SKIP() << "/dev/shm is on the same file system as the temporary folder";
    }
    EXPECT_EQ(0, MoveListedFile(item, target));
    EXPECT_FALSE(tree.Exists("src/a"));
    EXPECT_EQ("real content", ReadFile(target));
    EXPECT_EQ(1'600'000'000, Status(target).st_mtim.tv_sec);
    EXPECT_EQ(std::vector<std::string>{"a"}, Entries(folder));
    std::filesystem::remove_all(folder);
}

TEST_F(FileOperationsTest, CopyKeepsContentAndTimeAndAsksNothingItself) {
    tree.AddFile("src/a", "payload");
    tree.SetModifiedTime("src/a", 1'500'000'000);
    tree.SetMode("src/a", 0600);
    tree.AddFolder("dst");
    ASSERT_EQ(0, CopyRegularFile(tree.Path("src/a"), tree.Path("dst/a"), {}));
    EXPECT_EQ("payload", tree.Read("src/a"));
    EXPECT_EQ("payload", tree.Read("dst/a"));
    EXPECT_EQ(1'500'000'000, Status(tree.Path("dst/a")).st_mtim.tv_sec);
    EXPECT_EQ(0600u, Status(tree.Path("dst/a")).st_mode & 0777);

    tree.AddFile("src/a", "newer");
    EXPECT_EQ(EEXIST, CopyRegularFile(tree.Path("src/a"), tree.Path("dst/a"), {}));
    EXPECT_EQ("payload", tree.Read("dst/a"));
    CopyOptions replace;
    replace.replace = ReplaceExisting::Yes;
    EXPECT_EQ(0, CopyRegularFile(tree.Path("src/a"), tree.Path("dst/a"), replace));
    EXPECT_EQ("newer", tree.Read("dst/a"));

    tree.AddFolder("dst/folder");
    EXPECT_EQ(EISDIR, CopyRegularFile(tree.Path("src/a"), tree.Path("dst/folder"), replace));
    EXPECT_EQ(ENOENT, CopyRegularFile(tree.Path("src/none"), tree.Path("dst/none"), {}));
    EXPECT_EQ((std::vector<std::string>{"a", "folder"}), Entries(tree.Path("dst")));
}

TEST_F(FileOperationsTest, CopyNeverFollowsLinksNorOpensFifos) {
    tree.AddFile("real", "secret");
    tree.AddSymlink("src/link", tree.Path("real"));
    tree.AddFifo("src/fifo");
    tree.AddFolder("dst");
    EXPECT_EQ(kNotRegularFile, CopyRegularFile(tree.Path("src/link"), tree.Path("dst/link"), {}));
    EXPECT_EQ(kNotRegularFile, CopyRegularFile(tree.Path("src/fifo"), tree.Path("dst/fifo"), {}));
    EXPECT_TRUE(Entries(tree.Path("dst")).empty());

    // Replacing a link at the target replaces the link, not the file it points at.
    tree.AddFile("src/a", "copy");
    tree.AddSymlink("dst/a", tree.Path("real"));
    CopyOptions replace;
    replace.replace = ReplaceExisting::Yes;
    EXPECT_EQ(0, CopyRegularFile(tree.Path("src/a"), tree.Path("dst/a"), replace));
    EXPECT_EQ("secret", tree.Read("real"));
    EXPECT_TRUE(S_ISREG(Status(tree.Path("dst/a")).st_mode));
}

// A copy that fails halfway (here the file size limit) leaves nothing under the target name and
// no temporary file. Runs in a child so that the limit stays there.
TEST_F(FileOperationsTest, FailedCopyLeavesNoHalfFile) {
    tree.AddSizedFile("src/big", 4 << 20);
    tree.AddFolder("dst");
    const std::optional<int> status = test::RunInChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const struct rlimit limit = {1 << 20, 1 << 20};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            return 2;
        }
        return CopyRegularFile(tree.Path("src/big"), tree.Path("dst/big"), {}) == EFBIG ? 0 : 1;
    });
    ASSERT_TRUE(status && WIFEXITED(*status));
    EXPECT_EQ(0, WEXITSTATUS(*status));
    EXPECT_TRUE(Entries(tree.Path("dst")).empty());
}

TEST(GroupsLeftWithoutCopy, CountsGroupsWhoseEveryRemainingMemberIsActedOn) {
    // Groups: a (3 members, one already deleted), b (2), c (1 left after removals).
    std::vector<CFileItem> items(6);
    const char* keys[] = {"a", "a", "a", "b", "b", "c"};
    for (std::size_t i = 0; i < items.size(); ++i) {
        items[i].groupKey = keys[i];
    }
    items[2].deleted = 1;
    std::vector<const CFileItem*> listed;
    for (const CFileItem& item : items) {
        listed.push_back(&item);
    }
    const auto count = [&](std::initializer_list<int> acted) {
        std::vector<const CFileItem*> actedOn;
        for (int i : acted) {
            actedOn.push_back(&items[static_cast<std::size_t>(i)]);
        }
        return GroupsLeftWithoutCopy(actedOn, listed, [](const CFileItem&) { return true; });
    };
    EXPECT_EQ(0u, count({}));
    EXPECT_EQ(0u, count({0, 3}));
    EXPECT_EQ(1u, count({0, 1}));     // the deleted member is no copy
    EXPECT_EQ(1u, count({0, 1, 2}));  // acting on a deleted record changes nothing
    EXPECT_EQ(2u, count({0, 1, 3, 4}));
    EXPECT_EQ(1u, count({5}));  // a group of one left
    EXPECT_EQ(3u, count({0, 1, 3, 4, 5}));
}

// The copy a command leaves alone must still be on disk, unchanged, to count as the group's.
TEST_F(FileOperationsTest, LastCopyIsCountedOnDisk) {
    const CFileItem acted = Listed("g/acted", "same");
    const CFileItem kept = Listed("g/kept", "same");
    const CFileItem* const actedOn[] = {&acted};
    const CFileItem* const listed[] = {&acted, &kept};
    EXPECT_EQ(0u, GroupsLeftWithoutCopy(actedOn, listed));

    tree.EditKeepingModifiedTime("g/kept", "SAME");
    EXPECT_EQ(1u, GroupsLeftWithoutCopy(actedOn, listed)) << "kept copy edited";

    ::unlink(kept.path.c_str());
    EXPECT_EQ(1u, GroupsLeftWithoutCopy(actedOn, listed)) << "kept copy removed";

    // Any one of several kept members is enough.
    const CFileItem third = Listed("g/third", "same");
    const CFileItem* const three[] = {&acted, &kept, &third};
    EXPECT_EQ(0u, GroupsLeftWithoutCopy(actedOn, three));
}

}  // namespace
}  // namespace krelix
