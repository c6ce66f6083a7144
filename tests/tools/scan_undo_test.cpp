// krelix-scan --hardlink followed by --undo, as programs on a real tree.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <set>
#include <string>

#include "operations/journal/command_journal.h"
#include "operations/journal/journal_recorder.h"
#include "operations/links/link_replacement.h"
#include "scan_run.h"
#include "support/listed_record.h"
#include "support/temp_tree.h"
#include "support/tree_snapshot.h"

namespace krelix {
namespace {

class ScanUndoTest : public ::testing::Test {
  protected:
    void AddTree() {
        const std::string content(50'000, 'k');
        int n = 0;
        for (const char* name : {"a", "sub/b", "sub/odd name\n", "sub/deeper/c"}) {
            const std::string path = tree.AddFile(name, content);
            ASSERT_EQ(0, ::chmod(path.c_str(), 0600 + 010 * n));
            const struct timespec times[2] = {{1'600'000'000, 5}, {1'500'000'000 + n, 100 + n}};
            ASSERT_EQ(0, ::utimensat(AT_FDCWD, path.c_str(), times, 0));
            ++n;
        }
        tree.AddFile("single", "alone");
    }

    test::TempTree tree;
    test::TempTree outputs;
};

TEST_F(ScanUndoTest, HardLinksUndoneGiveBackFilesWithTheirOwnInodesContentsAndTimes) {
    AddTree();
    const auto before = test::Snapshot(tree.root());
    const test::ScanRun linked = test::RunScan(outputs, "--flags 0x20 --hardlink " + tree.root());
    ASSERT_EQ(0, linked.status) << linked.err;
    ASSERT_EQ(4u, test::Snapshot(tree.root()).at("a").links);

    const test::ScanRun undone = test::RunScan(outputs, "--undo");
    EXPECT_EQ(0, undone.status) << undone.err;
    EXPECT_EQ("Files restored: 3, files left: 0\n", undone.out);
    EXPECT_EQ("Undoing replacing duplicates by hard links\n", undone.err);
    const auto after = test::Snapshot(tree.root());
    EXPECT_TRUE(test::SameLook(before, after));
    std::set<std::uint64_t> inodes;
    for (const auto& [name, shot] : after) {
        EXPECT_EQ(1u, shot.links) << name;
        inodes.insert(shot.inode);
    }
    EXPECT_EQ(after.size(), inodes.size());

    const test::ScanRun again = test::RunScan(outputs, "--undo");
    EXPECT_EQ(0, again.status);
    EXPECT_NE(std::string::npos, again.err.find("nothing to undo")) << again.err;
}

TEST_F(ScanUndoTest, AFileChangedSinceIsNamedAndGivesStatusOne) {
    AddTree();
    ASSERT_EQ(0, test::RunScan(outputs, "--flags 0x20 --hardlink " + tree.root()).status);
    // A new file where a link was: never replaced.
    ASSERT_EQ(0, ::unlink(tree.Path("sub/b").c_str()));
    tree.AddFile("sub/b", "someone else's");
    const test::ScanRun undone = test::RunScan(outputs, "--undo");
    EXPECT_EQ(1, undone.status);
    EXPECT_EQ("Files restored: 2, files left: 1\n", undone.out);
    EXPECT_NE(std::string::npos, undone.err.find("Left: " + tree.Path("sub/b") + ": "))
        << undone.err;
    EXPECT_EQ("someone else's", tree.Read("sub/b"));
}

// This test stands for the program running the command; the undo is another program run.
TEST_F(ScanUndoTest, ACommandStillRunningIsRefusedAndKeepsItsRecord) {
    AddTree();
    std::string notice;
    const auto journal =
        CommandJournal::Open(outputs.Path("state/krelix/journal.sqlite"), 1'700'000'000, notice);
    ASSERT_TRUE(journal) << notice;
    const CFileItem kept = test::ListedRecord(tree.Path("a"), "k");
    const CFileItem target = test::ListedRecord(tree.Path("sub/b"), "k");
    {
        JournalRecorder recorder(journal.get(), CommandKind::HardLink, 1'700'000'000);
        ASSERT_EQ(
            0,
            ReplaceWithLink(kept, target, LinkKind::HardLink, LinkRun::Replace, &recorder).error);
        const test::ScanRun refused = test::RunScan(outputs, "--undo");
        EXPECT_EQ(1, refused.status);
        EXPECT_NE(std::string::npos, refused.err.find("is still running")) << refused.err;
        EXPECT_EQ(2u, test::Snapshot(tree.root()).at("a").links);
    }
    const test::ScanRun undone = test::RunScan(outputs, "--undo");
    EXPECT_EQ(0, undone.status) << undone.err;
    EXPECT_EQ("Files restored: 1, files left: 0\n", undone.out);
    EXPECT_EQ(1u, test::Snapshot(tree.root()).at("a").links);
}

TEST_F(ScanUndoTest, UndoTakesNoFolderAndADamagedJournalIsSetAside) {
    EXPECT_EQ(2, test::RunScan(outputs, "--undo " + tree.root()).status);
    EXPECT_EQ(2, test::RunScan(outputs, "--undo --hardlink").status);
    outputs.AddFile("state/krelix/journal.sqlite", std::string(4096, '\x07'));
    const test::ScanRun undone = test::RunScan(outputs, "--undo");
    EXPECT_EQ(0, undone.status) << undone.err;
    EXPECT_NE(std::string::npos, undone.err.find("it was kept as")) << undone.err;
}

}  // namespace
}  // namespace krelix
