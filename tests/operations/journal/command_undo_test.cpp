#include "operations/journal/command_undo.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "operations/files/file_operations.h"
#include "operations/journal/journal_recorder.h"
#include "operations/journal/stopped_command_tidy.h"
#include "operations/links/link_replacement.h"
#include "support/child_process.h"
#include "support/folder_trash.h"
#include "support/kernel_mount.h"
#include "support/listed_record.h"
#include "support/loop_mount.h"
#include "support/temp_tree.h"
#include "support/tree_snapshot.h"

namespace krelix {
namespace {

using test::ListedRecord;
using test::Snapshot;
using test::TempTree;

constexpr std::time_t kNow = 1'700'000'000;

std::vector<std::string> TemporaryNames(const std::string& root) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.path().filename().string().starts_with(".krelix-")) {
            names.push_back(entry.path().string());
        }
    }
    return names;
}

void SetTimes(const std::string& path, std::int64_t accessed, std::int64_t modified, long ns) {
    const struct timespec times[2] = {{accessed, ns}, {modified, ns + 1}};
    ASSERT_EQ(0, ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW)) << path;
}

class CommandUndoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string notice;
        journal = CommandJournal::Open(state.Path("journal.sqlite"), kNow, notice);
        ASSERT_TRUE(journal) << notice;
    }

    // Three equal files with their own modes and times, and one of other content.
    void AddDuplicates(const std::string& under = {}) {
        const std::string root = under.empty() ? tree.root() : under;
        int n = 0;
        for (const char* name : {"keep", "sub/b", "sub/c d"}) {
            const std::string path = root + name;
            std::filesystem::create_directories(std::filesystem::path(path).parent_path());
            std::ofstream(path, std::ios::binary) << std::string(70'000, 'q');
            ASSERT_EQ(0, ::chmod(path.c_str(), n == 0 ? 0644 : 0600 + 040 * n));
            // The last one from before 1970.
            SetTimes(path, 1'600'000'000 + n, n == 2 ? -31'536'000 : 1'500'000'000 + n,
                     1000 * (n + 1));
            listed.push_back(ListedRecord(path, "key"));
            ++n;
        }
        std::ofstream(root + "other", std::ios::binary) << "different";
    }

    // Replaces every listed file but the first, as krelix-scan --hardlink does.
    void ReplaceAll(LinkKind kind) {
        std::vector<CFileItem*> group;
        for (CFileItem& item : listed) {
            group.push_back(&item);
        }
        JournalRecorder recorder(
            journal.get(), kind == LinkKind::HardLink ? CommandKind::HardLink : CommandKind::Clone,
            kNow);
        for (std::size_t i = 1; i < listed.size(); ++i) {
            const LinkResult result =
                ReplaceWithLink(listed[0], listed[i], kind, LinkRun::Replace, &recorder);
            ASSERT_EQ(0, result.error) << std::strerror(result.error);
            FollowReplacement(listed[i], result, group);
        }
        EXPECT_FALSE(recorder.failed());
    }

    // Moves each listed file into `to`, recording as the window does.
    void MoveAll(const std::string& to, JournalRecorder& recorder) {
        for (CFileItem& item : listed) {
            const std::string target = to + std::string(item.name());
            const std::int64_t entry = recorder.Before(EntryAction::Moved, item.path, target);
            if (MoveListedFile(item, target) == 0) {
                recorder.Done(entry, target);
            } else {
                recorder.NotDone(entry);
            }
        }
    }

    TempTree tree;
    TempTree state;
    std::unique_ptr<CommandJournal> journal;
    std::vector<CFileItem> listed;
};

TEST_F(CommandUndoTest, HardLinksUndoneGiveEachFileItsOwnInodeModeAndTimesBack) {
    AddDuplicates();
    const auto before = Snapshot(tree.root());
    ReplaceAll(LinkKind::HardLink);
    ASSERT_EQ(3u, Snapshot(tree.root()).at("keep").links);

    const UndoOutcome outcome = UndoNewestCommand(*journal, nullptr);
    EXPECT_TRUE(outcome.found);
    EXPECT_EQ(CommandKind::HardLink, outcome.kind);
    EXPECT_EQ(2u, outcome.restored);
    EXPECT_TRUE(outcome.left.empty()) << outcome.left.at(0).reason;

    const auto after = Snapshot(tree.root());
    EXPECT_TRUE(test::SameLook(before, after));
    for (const auto& [name, shot] : after) {
        EXPECT_EQ(1u, shot.links) << name;
    }
    EXPECT_NE(after.at("keep").inode, after.at("sub/b").inode);
    EXPECT_NE(after.at("sub/b").inode, after.at("sub/c d").inode);
    EXPECT_FALSE(journal->Newest());  // done: nothing more to undo
    EXPECT_FALSE(UndoNewestCommand(*journal, nullptr).found);
}

TEST_F(CommandUndoTest, ALinkChangedSinceOrTakenAwayIsLeftAndTheOthersRestored) {
    AddDuplicates();
    ReplaceAll(LinkKind::HardLink);
    const std::string edited = listed[1].path;
    std::ofstream(edited, std::ios::app) << "more";  // edits the kept file through its link
    const UndoOutcome outcome = UndoNewestCommand(*journal, nullptr);
    EXPECT_EQ(0u, outcome.restored);  // every name of the shared file changed with it
    ASSERT_EQ(2u, outcome.left.size());
    EXPECT_NE(std::string::npos, outcome.left[0].reason.find("changed since"))
        << outcome.left[0].reason;
    EXPECT_EQ(std::string(70'000, 'q') + "more", tree.Read("sub/c d"));
    EXPECT_TRUE(std::filesystem::directory_iterator(tree.Path("sub")) !=
                std::filesystem::directory_iterator());
    for (const auto& entry : std::filesystem::directory_iterator(tree.Path("sub"))) {
        EXPECT_FALSE(entry.path().filename().string().starts_with(".krelix-undo-"));
    }
}

TEST_F(CommandUndoTest, RecycledFilesComeBackWithTheirTrashInfoGone) {
    AddDuplicates();
    const auto before = Snapshot(tree.root());
    const std::string trashRoot = state.AddFolder("Trash");
    state.AddFolder("Trash/files");
    state.AddFolder("Trash/info");
    test::FolderTrash trash(trashRoot + "files/");
    {
        JournalRecorder recorder(journal.get(), CommandKind::Recycle, kNow);
        for (CFileItem& item : listed) {
            const std::int64_t entry = recorder.Before(EntryAction::Recycled, item.path);
            std::string inTrash;
            ASSERT_EQ(0, trash.MoveToTrash(item.path, &inTrash));
            state.AddFile("Trash/info/" + inTrash.substr(inTrash.rfind('/') + 1) + ".trashinfo",
                          "[Trash Info]\n");
            recorder.Done(entry, inTrash);
        }
    }
    ASSERT_FALSE(tree.Exists("keep"));

    const UndoOutcome outcome = UndoNewestCommand(*journal, nullptr);
    EXPECT_EQ(3u, outcome.restored);
    EXPECT_TRUE(outcome.left.empty());
    EXPECT_EQ(3u, outcome.moved.size());
    const auto after = Snapshot(tree.root());
    EXPECT_TRUE(test::SameLook(before, after));
    EXPECT_TRUE(std::filesystem::is_empty(trashRoot + "files"));
    EXPECT_TRUE(std::filesystem::is_empty(trashRoot + "info"));
}

TEST_F(CommandUndoTest, MovesAreMovedBackButNeverOverAFileThatTookTheirPlace) {
    AddDuplicates();
    const std::string to = tree.AddFolder("elsewhere") + "/";
    {
        JournalRecorder recorder(journal.get(), CommandKind::Move, kNow);
        MoveAll(to, recorder);
    }
    const std::string taken = tree.AddFile("sub/b", "a new file in its place");
    const UndoOutcome outcome = UndoNewestCommand(*journal, nullptr);
    EXPECT_EQ(2u, outcome.restored);
    ASSERT_EQ(1u, outcome.left.size());
    EXPECT_EQ(to + "b", outcome.left[0].path);
    EXPECT_EQ("its path is taken now: " + taken, outcome.left[0].reason);
    EXPECT_EQ("a new file in its place", tree.Read("sub/b"));
    EXPECT_EQ(std::string(70'000, 'q'), tree.Read("elsewhere/b"));
    EXPECT_TRUE(tree.Exists("keep"));
    EXPECT_TRUE(tree.Exists("sub/c d"));
    EXPECT_FALSE(tree.Exists("elsewhere/keep"));
}

TEST_F(CommandUndoTest, AMovedFileEditedSinceIsLeftWhereItIs) {
    AddDuplicates();
    const std::string to = tree.AddFolder("elsewhere") + "/";
    {
        JournalRecorder recorder(journal.get(), CommandKind::Move, kNow);
        MoveAll(to, recorder);
    }
    tree.EditKeepingModifiedTime("elsewhere/keep", std::string(70'000, 'Q'));
    const UndoOutcome outcome = UndoNewestCommand(*journal, nullptr);
    EXPECT_EQ(2u, outcome.restored);
    ASSERT_EQ(1u, outcome.left.size());
    EXPECT_EQ(to + "keep", outcome.left[0].path);
    EXPECT_FALSE(tree.Exists("keep"));
}

TEST_F(CommandUndoTest, ACopyThatReplacedAFileGoesToTheTrashAndTheReplacedFileComesBack) {
    const std::string source = tree.AddFile("source", "new content");
    tree.AddFile("target/name", "old content");
    const auto before = Snapshot(tree.root());
    test::FolderTrash trash(state.AddFolder("trash") + "/");
    {
        JournalRecorder recorder(journal.get(), CommandKind::Copy, kNow);
        const std::string target = tree.Path("target/name");
        std::int64_t entry = recorder.Before(EntryAction::Recycled, target);
        std::string inTrash;
        ASSERT_EQ(0, trash.MoveToTrash(target, &inTrash));
        recorder.Done(entry, inTrash);
        entry = recorder.Before(EntryAction::Copied, source, target);
        ASSERT_EQ(0, CopyRegularFile(source, target, {}));
        recorder.Done(entry, target);
    }
    const UndoOutcome outcome = UndoNewestCommand(*journal, &trash);
    EXPECT_EQ(1u, outcome.restored);
    EXPECT_TRUE(outcome.left.empty());
    EXPECT_TRUE(test::SameLook(before, Snapshot(tree.root())));
    EXPECT_EQ(2u, trash.trashed.size());  // the copy went where the replaced file was
}

TEST_F(CommandUndoTest, AKilledCommandIsFoundAndItsDonePartUndone) {
    AddDuplicates();
    const auto before = Snapshot(tree.root());
    const std::string to = tree.AddFolder("elsewhere") + "/";
    const std::optional<int> status = test::RunInChild([&] {
        std::string notice;
        auto own = CommandJournal::Open(state.Path("journal.sqlite"), kNow, notice);
        auto* recorder = new JournalRecorder(own.get(), CommandKind::Move, kNow);
        const std::string path = listed[0].path;
        const std::int64_t entry = recorder->Before(EntryAction::Moved, path, to + "keep");
        if (MoveListedFile(listed[0], to + "keep") == 0) {
            recorder->Done(entry, to + "keep");
        }
        recorder->Before(EntryAction::Moved, listed[1].path, to + "b");  // killed before the move
        ::kill(::getpid(), SIGKILL);
        return 3;
    });
    ASSERT_TRUE(status && WIFSIGNALED(*status) && WTERMSIG(*status) == SIGKILL);

    const std::vector<JournalCommand> interrupted = journal->Interrupted();
    ASSERT_EQ(1u, interrupted.size());
    EXPECT_EQ(2u, interrupted[0].entries.size());
    ASSERT_TRUE(tree.Exists("elsewhere/keep"));
    const UndoOutcome outcome = UndoCommand(*journal, interrupted[0], nullptr);
    EXPECT_EQ(1u, outcome.restored);
    EXPECT_TRUE(outcome.left.empty());  // the file it had not yet touched is as it was
    EXPECT_TRUE(test::SameLook(before, Snapshot(tree.root(), "elsewhere")));
    EXPECT_TRUE(journal->Interrupted().empty());
}

TEST_F(CommandUndoTest, FilesMovedOrRecycledBeforeTheirEntryWasDoneAreFoundAndGivenBack) {
    AddDuplicates();
    const auto before = Snapshot(tree.root());
    const std::string to = tree.AddFolder("elsewhere") + "/";
    test::FolderTrash trash(state.AddFolder("trash") + "/");
    {
        // As a power cut leaves it: the files touched, their entries still pending.
        JournalRecorder recorder(journal.get(), CommandKind::Move, kNow);
        recorder.Before(EntryAction::Moved, listed[0].path, to + "keep");
        ASSERT_EQ(0, MoveListedFile(listed[0], to + "keep"));
        recorder.Before(EntryAction::Recycled, listed[1].path);
        ASSERT_EQ(0, trash.MoveToTrash(listed[1].path));
        recorder.Before(EntryAction::Recycled, listed[2].path);
        ASSERT_EQ(0, trash.MoveToTrash(listed[2].path));
    }
    const std::string lost = trash.InTrash(1);
    ASSERT_EQ(0, ::rename(lost.c_str(), state.Path("lost").c_str()));  // not in the trash now

    const UndoOutcome outcome = UndoNewestCommand(*journal, &trash);
    EXPECT_EQ(2u, outcome.restored);
    ASSERT_EQ(1u, outcome.left.size());
    EXPECT_EQ(listed[2].path, outcome.left[0].path);
    EXPECT_NE(std::string::npos, outcome.left[0].reason.find("look for it in the trash"));
    ASSERT_EQ(0, ::rename(state.Path("lost").c_str(), listed[2].path.c_str()));
    EXPECT_TRUE(test::SameLook(before, Snapshot(tree.root(), "elsewhere")));
}

// A replacement killed at any step leaves only what the journal can account for: the next start
// removes the temporary name or puts the target's old file back, and nothing is left to undo.
// Where another file took the target's path meanwhile, both are left and named.
TEST_F(CommandUndoTest, AReplacementKilledHalfWayIsClearedUpAtTheNextStart) {
    const struct {
        LinkStep step;
        bool newcomer;  // a file put at the target's path before the next start
        const char* said;
    } cases[] = {{LinkStep::LastCheckDone, false, "Removed"},
                 {LinkStep::Swapped, false, "Put back"},
                 {LinkStep::Swapped, true, "look at both"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.said);
        listed.clear();
        std::filesystem::remove_all(tree.Path("sub"));
        AddDuplicates();
        const auto before = Snapshot(tree.root());
        const std::optional<int> status = test::RunInChild([&] {
            std::string notice;
            const auto own = CommandJournal::Open(state.Path("journal.sqlite"), kNow, notice);
            JournalRecorder recorder(own.get(), CommandKind::HardLink, kNow);
            LinkSeams seams;
            seams.at = [&c](LinkStep now) {
                if (now == c.step) {
                    ::kill(::getpid(), SIGKILL);
                }
            };
            ReplaceWithLink(listed[0], listed[1], LinkKind::HardLink, LinkRun::Replace, &recorder,
                            &seams);
            return 3;
        });
        ASSERT_TRUE(status && WIFSIGNALED(*status) && WTERMSIG(*status) == SIGKILL);
        ASSERT_EQ(1u, TemporaryNames(tree.root()).size());
        if (c.newcomer) {
            ASSERT_EQ(0, ::unlink(listed[1].path.c_str()));
            tree.AddFile("sub/b", "someone else's");
        }

        const std::vector<std::string> lines = TidyStoppedCommands(*journal);
        ASSERT_EQ(1u, lines.size());
        EXPECT_NE(std::string::npos, lines[0].find(c.said)) << lines[0];
        if (c.newcomer) {
            const std::vector<std::string> kept = TemporaryNames(tree.root());
            ASSERT_EQ(1u, kept.size());
            std::ostringstream held;
            held << std::ifstream(kept[0], std::ios::binary).rdbuf();
            EXPECT_EQ(std::string(70'000, 'q'), held.str()) << "the old file stays";
            EXPECT_EQ("someone else's", tree.Read("sub/b"));
            ::unlink(kept[0].c_str());
            continue;
        }
        EXPECT_TRUE(TemporaryNames(tree.root()).empty());
        EXPECT_TRUE(test::SameLook(before, Snapshot(tree.root())));
        EXPECT_EQ(1u, Snapshot(tree.root()).at("sub/b").links);
        EXPECT_TRUE(journal->Interrupted().empty()) << "nothing of it is left to undo";
    }
}

// Left for a reason that passes, a file stays in the journal and the next undo gives it back.
TEST_F(CommandUndoTest, AnUndoThatRanOutOfRoomIsTriedAgain) {
    const test::KernelMount small = test::KernelMount::Tmpfs(tree.Path("small"), "400k");
    if (!small.ok()) {
        GTEST_SKIP() << small.why();
    }
    AddDuplicates(tree.Path("small/"));
    const auto before = Snapshot(tree.Path("small/"));
    ReplaceAll(LinkKind::HardLink);
    {
        std::ofstream filler(tree.Path("small/filler"), std::ios::binary);
        const std::string block(4096, 'f');
        while (filler.write(block.data(), block.size())) {
        }
    }
    const UndoOutcome full = UndoNewestCommand(*journal, nullptr);
    EXPECT_EQ(0u, full.restored);
    ASSERT_EQ(2u, full.left.size());
    EXPECT_EQ(2u, full.kept);
    EXPECT_EQ(std::strerror(ENOSPC), full.left[0].reason);

    ASSERT_EQ(0, ::unlink(tree.Path("small/filler").c_str()));
    const UndoOutcome again = UndoNewestCommand(*journal, nullptr);
    EXPECT_EQ(CommandKind::HardLink, again.kind);
    EXPECT_EQ(2u, again.restored);
    EXPECT_TRUE(again.left.empty());
    EXPECT_TRUE(test::SameLook(before, Snapshot(tree.Path("small/"))));
    EXPECT_FALSE(journal->Newest());
}

// A recycled file whose folder was removed while it lay in the trash comes back into the folder,
// made again; it is never called gone.
TEST_F(CommandUndoTest, AFileWhoseFolderWasRemovedComesBackIntoItMadeAgain) {
    AddDuplicates();
    test::FolderTrash trash(state.AddFolder("trash") + "/");
    {
        JournalRecorder recorder(journal.get(), CommandKind::Recycle, kNow);
        for (std::size_t i = 1; i < listed.size(); ++i) {
            const std::int64_t entry = recorder.Before(EntryAction::Recycled, listed[i].path);
            std::string inTrash;
            ASSERT_EQ(0, trash.MoveToTrash(listed[i].path, &inTrash));
            recorder.Done(entry, inTrash);
        }
    }
    std::filesystem::remove(tree.Path("sub"));
    const UndoOutcome outcome = UndoNewestCommand(*journal, &trash);
    EXPECT_EQ(2u, outcome.restored);
    EXPECT_TRUE(outcome.left.empty()) << outcome.left.at(0).reason;
    EXPECT_EQ(std::string(70'000, 'q'), tree.Read("sub/c d"));
}

TEST_F(CommandUndoTest, ClonesUndoneOnAFileSystemThatMakesThem) {
    const test::LoopMount btrfs("btrfs", tree.Path("btrfs.img"), tree.Path("mnt"));
    if (!btrfs.ok()) {
        GTEST_SKIP() << "no btrfs to clone on: " << btrfs.why();
    }
    AddDuplicates(btrfs.root());
    const auto before = Snapshot(btrfs.root());
    ReplaceAll(LinkKind::Clone);
    const UndoOutcome outcome = UndoNewestCommand(*journal, nullptr);
    EXPECT_EQ(2u, outcome.restored);
    EXPECT_TRUE(outcome.left.empty());
    EXPECT_TRUE(test::SameLook(before, Snapshot(btrfs.root())));
}

}  // namespace
}  // namespace krelix
