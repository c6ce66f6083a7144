// krelix-scan --hardlink, --reflink, --dry-run and --protect, on real trees.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "scan_options.h"
#include "scan_run.h"
#include "support/temp_tree.h"

namespace krelix {
namespace {

using test::ScanRun;

ino_t Inode(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(0, ::lstat(path.c_str(), &status)) << path;
    return status.st_ino;
}

class LinkRunTest : public ::testing::Test {
  protected:
    // Runs the scanner over the tree; temporary folders are searched (the tree lies in one).
    ScanRun Scan(const std::string& options) {
        return test::RunScan(outputs, "--flags 0x77A0 " + options + " '" + tree.root() + "'");
    }
    void Plant(const std::string& relative, const std::string& content) {
        tree.AddFile(relative, content);
        planted[relative] = content;
    }
    // Groups of two to four files of several sizes, odd names among them, and loners.
    void PlantGroups() {
        Plant("a/one", "group one");
        Plant("b/one copy", "group one");
        Plant("c/new\nline", "group one");
        Plant("d/one\xff", "group one");
        const std::string big(3'000'000, 'b');
        Plant("big/1", big);
        Plant("big/2", big);
        Plant("e/two", "group two!");
        Plant("f/two", "group two!");
        Plant("g/alone", "nothing like it");
        Plant("h/empty-free", "x");
    }
    void ExpectContentsUnchanged() {
        for (const auto& [relative, content] : planted) {
            EXPECT_EQ(content, tree.Read(relative)) << relative;
        }
    }

    test::TempTree tree;
    test::TempTree outputs;
    std::map<std::string, std::string> planted;
};

TEST_F(LinkRunTest, HardLinkingLeavesNoDuplicatesAndEveryContentAsItWas) {
    PlantGroups();
    const ScanRun linked = Scan("--hardlink");
    EXPECT_EQ(0, linked.status) << linked.err;
    EXPECT_NE(std::string::npos, linked.err.find("Files replaced: 5 , bytes reclaimed: 3000037 , "
                                                 "failures: 0\n"))
        << linked.err;
    EXPECT_NE(std::string::npos,
              linked.err.find("Linked: " + tree.Path("b/one copy") + " -> " + tree.Path("a/one")));

    const ScanRun again = Scan("");
    EXPECT_EQ(0, again.status);
    EXPECT_EQ("", again.out);
    EXPECT_NE(std::string::npos, again.err.find(" , duplicates: 0 \n")) << again.err;
    ExpectContentsUnchanged();
    EXPECT_EQ(Inode(tree.Path("a/one")), Inode(tree.Path("d/one\xff")));
    EXPECT_EQ(Inode(tree.Path("big/1")), Inode(tree.Path("big/2")));
}

TEST_F(LinkRunTest, ADryRunSaysWhatItWouldDoAndChangesNothing) {
    PlantGroups();
    const ino_t before = Inode(tree.Path("f/two"));
    const ScanRun dry = Scan("--hardlink --dry-run");
    EXPECT_EQ(0, dry.status) << dry.err;
    EXPECT_NE(std::string::npos,
              dry.err.find("Would link: " + tree.Path("f/two") + " -> " + tree.Path("e/two")));
    EXPECT_NE(std::string::npos,
              dry.err.find("Files to replace: 5 , bytes to reclaim: 3000037 , failures: 0\n"));
    EXPECT_EQ(before, Inode(tree.Path("f/two")));
    EXPECT_NE(std::string::npos, Scan("").err.find(" , duplicates: 8 \n"));
}

TEST_F(LinkRunTest, AProtectedFileIsKeptAndNeverReplaced) {
    Plant("a/copy", "same");
    Plant("safe/original", "same");
    Plant("safe/second", "same");
    const ino_t original = Inode(tree.Path("safe/original"));
    const ino_t second = Inode(tree.Path("safe/second"));
    const ScanRun run = Scan("--hardlink --protect '" + tree.Path("safe") + "'");
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_EQ(original, Inode(tree.Path("a/copy")));
    EXPECT_EQ(original, Inode(tree.Path("safe/original")));
    EXPECT_EQ(second, Inode(tree.Path("safe/second")));
    EXPECT_NE(std::string::npos, run.err.find("Files replaced: 1 ,")) << run.err;
    ExpectContentsUnchanged();
}

// The protected folder is reached through a symbolic link: it is still what is protected.
TEST_F(LinkRunTest, AProtectedFolderReachedByAnotherPathIsStillProtected) {
    Plant("real/keep", "same");
    Plant("other/copy", "same");
    tree.AddSymlink("zz", tree.Path("real"));
    const ino_t protectedInode = Inode(tree.Path("real/keep"));
    const ScanRun run =
        test::RunScan(outputs, "--flags 0x77A0 --hardlink --protect '" + tree.Path("real") + "' '" +
                                   tree.Path("zz") + "/' '" + tree.Path("other") + "'");
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_EQ(protectedInode, Inode(tree.Path("real/keep")));
    EXPECT_EQ(protectedInode, Inode(tree.Path("other/copy")));
    ExpectContentsUnchanged();
}

// Replacing without undo is asked for by name; a journal that cannot be written stops the run.
TEST_F(LinkRunTest, WithoutAJournalNothingIsReplacedUnlessNoUndoIsGiven) {
    Plant("a/one", "same");
    Plant("b/one", "same");
    const ino_t before = Inode(tree.Path("b/one"));
    const std::string noJournal = "XDG_STATE_HOME=/dev/null/state";
    const ScanRun refused =
        test::RunScan(outputs, "--flags 0x77A0 --hardlink '" + tree.root() + "'", noJournal);
    EXPECT_EQ(1, refused.status);
    EXPECT_NE(std::string::npos, refused.err.find("nothing was replaced")) << refused.err;
    EXPECT_EQ(before, Inode(tree.Path("b/one")));

    const ScanRun forced = test::RunScan(
        outputs, "--flags 0x77A0 --no-undo --hardlink '" + tree.root() + "'", noJournal);
    EXPECT_EQ(0, forced.status) << forced.err;
    EXPECT_EQ(Inode(tree.Path("a/one")), Inode(tree.Path("b/one")));
    ExpectContentsUnchanged();
}

TEST_F(LinkRunTest, FailuresAreCountedAndGiveStatusOne) {
    Plant("a/one", "same");
    Plant("b/one", "same");
    const ScanRun run = Scan("--reflink");
    if (run.status == 0) {
        GTEST_SKIP() << "the temporary folder's file system makes clones";
    }
    EXPECT_EQ(1, run.status);
    EXPECT_NE(std::string::npos, run.err.find("Not replaced: " + tree.Path("b/one") +
                                              ": the file system cannot make clones"))
        << run.err;
    EXPECT_NE(std::string::npos, run.err.find("Files replaced: 0 , bytes reclaimed: 0 , "
                                              "failures: 1\n"));
    ExpectContentsUnchanged();
}

TEST(LinkRunArguments, ReplacingOptionsAndTheirConflicts) {
    const ParsedArguments parsed =
        ParseScanArguments({"--hardlink", "--dry-run", "--protect", "/p", "--protect=/q", "x"});
    ASSERT_TRUE(parsed.options) << parsed.error;
    EXPECT_TRUE(parsed.options->hardlink);
    EXPECT_FALSE(parsed.options->reflink);
    EXPECT_TRUE(parsed.options->dryRun);
    EXPECT_EQ((std::vector<std::string>{"/p", "/q"}), parsed.options->protectFolders);
    EXPECT_TRUE(ParseScanArguments({"--reflink", "x"}).options->reflink);
    EXPECT_FALSE(ParseScanArguments({"--hardlink", "--reflink", "x"}).options);
    EXPECT_FALSE(ParseScanArguments({"--dry-run", "x"}).options);
    EXPECT_FALSE(ParseScanArguments({"--hardlink", "x", "--protect"}).options);
    EXPECT_TRUE(ParseScanArguments({"--reflink", "--no-undo", "x"}).options->noUndo);
    EXPECT_FALSE(ParseScanArguments({"--no-undo", "x"}).options);
}

}  // namespace
}  // namespace krelix
