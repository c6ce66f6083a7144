#include "operations/journal/command_journal.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "operations/journal/journal_recorder.h"
#include "storage/sqlite_database.h"
#include "support/temp_tree.h"

namespace krelix {
namespace {

using test::TempTree;

constexpr std::time_t kNow = 1'700'000'000;

class CommandJournalTest : public ::testing::Test {
  protected:
    std::unique_ptr<CommandJournal> Open(std::string* noticeOut = nullptr) {
        std::string notice;
        std::unique_ptr<CommandJournal> journal = CommandJournal::Open(path, kNow, notice);
        if (noticeOut != nullptr) {
            *noticeOut = notice;
        } else {
            EXPECT_EQ("", notice);
        }
        return journal;
    }
    // The files beside the journal whose names begin with the journal's own.
    std::vector<std::string> SetAside() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(tree.Path("state/krelix"))) {
            const std::string name = entry.path().filename().string();
            if (name.starts_with("journal.sqlite.damaged-") && !name.ends_with("-wal") &&
                !name.ends_with("-shm")) {
                names.push_back(name);
            }
        }
        return names;
    }

    TempTree tree;
    std::string path = tree.Path("state/krelix/journal.sqlite");
};

TEST_F(CommandJournalTest, KeepsEntriesAcrossOpeningsAndTellsFinishedFromInterrupted) {
    const std::string file = tree.AddFile("a", "bytes");
    {
        auto journal = Open();
        ASSERT_TRUE(journal);
        JournalRecorder finished(journal.get(), CommandKind::Move, kNow);
        const std::int64_t entry = finished.Before(EntryAction::Moved, file, file + ".moved");
        ASSERT_NE(0, entry);
        finished.Done(entry, file);  // stands in for the moved file
        const std::int64_t notDone = finished.Before(EntryAction::Moved, file, file + ".x");
        finished.NotDone(notDone);
        EXPECT_FALSE(finished.failed());
    }
    std::int64_t interruptedId = 0;
    {
        auto journal = Open();
        ASSERT_TRUE(journal);
        // As a killed program leaves it: an entry written, the command never finished.
        interruptedId = *journal->BeginCommand(CommandKind::HardLink, kNow + 5);
        JournalEntry entry;
        entry.action = EntryAction::Replaced;
        entry.original = file;
        ASSERT_TRUE(journal->AddEntry(interruptedId, entry));
    }
    auto journal = Open();
    ASSERT_TRUE(journal);
    const std::optional<JournalCommand> newest = journal->Newest();
    ASSERT_TRUE(newest);
    EXPECT_EQ(interruptedId, newest->id);
    EXPECT_FALSE(newest->finished);
    ASSERT_EQ(1u, newest->entries.size());
    EXPECT_EQ(EntryState::Pending, newest->entries[0].state);

    const std::vector<JournalCommand> interrupted = journal->Interrupted();
    ASSERT_EQ(1u, interrupted.size());
    EXPECT_EQ(CommandKind::HardLink, interrupted[0].kind);

    ASSERT_TRUE(journal->ForgetCommand(interruptedId));
    const std::optional<JournalCommand> move = journal->Newest();
    ASSERT_TRUE(move);
    EXPECT_TRUE(move->finished);
    EXPECT_EQ(CommandKind::Move, move->kind);
    ASSERT_EQ(2u, move->entries.size());
    EXPECT_EQ(EntryState::Done, move->entries[0].state);
    EXPECT_EQ(file, move->entries[0].current);
    EXPECT_EQ(5u, move->entries[0].after.size);
    EXPECT_EQ(EntryState::Undone, move->entries[1].state);
    EXPECT_TRUE(journal->Interrupted().empty());
}

TEST_F(CommandJournalTest, OddBytesInPathsComeBackExactly) {
    const std::string odd = tree.AddFile("bad\xff name\nline", "x");
    auto journal = Open();
    ASSERT_TRUE(journal);
    {
        JournalRecorder recorder(journal.get(), CommandKind::Rename, kNow);
        recorder.Done(recorder.Before(EntryAction::Moved, odd + "\x01old", odd), odd);
    }
    const auto newest = journal->Newest();
    ASSERT_TRUE(newest);
    EXPECT_EQ(odd + "\x01old", newest->entries.at(0).original);
    EXPECT_EQ(odd, newest->entries.at(0).current);
}

TEST_F(CommandJournalTest, CompletingAHardLinkMovesTheStatusChangeTimeOfEarlierNamesOfIt) {
    auto journal = Open();
    ASSERT_TRUE(journal);
    const std::int64_t command = *journal->BeginCommand(CommandKind::HardLink, kNow);
    FileState first;
    first.identity = {1, 42, 100, 200};
    const std::int64_t a = *journal->AddEntry(command, {});
    ASSERT_TRUE(journal->CompleteEntry(command, a, "/a", first));
    FileState other;
    other.identity = {1, 43, 100, 200};
    const std::int64_t b = *journal->AddEntry(command, {});
    ASSERT_TRUE(journal->CompleteEntry(command, b, "/b", other));
    FileState second = first;
    second.identity.changedNs = 300;
    const std::int64_t c = *journal->AddEntry(command, {});
    ASSERT_TRUE(journal->CompleteEntry(command, c, "/c", second));

    const auto newest = journal->Newest();
    ASSERT_TRUE(newest);
    ASSERT_EQ(3u, newest->entries.size());
    EXPECT_EQ(300, newest->entries[0].after.identity.changedNs);
    EXPECT_EQ(200, newest->entries[1].after.identity.changedNs);  // another file
}

TEST_F(CommandJournalTest, PruneDropsCommandsOlderThanNinetyDays) {
    auto journal = Open();
    ASSERT_TRUE(journal);
    const std::int64_t old = *journal->BeginCommand(CommandKind::Move, kNow - 91 * 86'400);
    const std::int64_t recent = *journal->BeginCommand(CommandKind::Move, kNow - 89 * 86'400);
    for (const std::int64_t command : {old, recent}) {
        ASSERT_TRUE(journal->AddEntry(command, {}));
        ASSERT_TRUE(journal->FinishCommand(command));
    }
    ASSERT_TRUE(journal->Prune(kNow));
    const std::optional<JournalCommand> newest = journal->Newest();
    ASSERT_TRUE(newest);
    EXPECT_EQ(recent, newest->id);
    ASSERT_TRUE(journal->ForgetCommand(recent));
    EXPECT_FALSE(journal->Newest()) << "the old one went with the prune";
}

// A damaged journal is set aside for a fresh one; a newer program's journal is left to it.
TEST_F(CommandJournalTest, ADamagedJournalIsKeptAsideAndANewerOneLeftAlone) {
    ASSERT_TRUE(Open());
    std::filesystem::remove(path);
    std::filesystem::remove(path + "-wal");
    std::filesystem::remove(path + "-shm");
    std::ofstream(path, std::ios::binary) << std::string(8192, '\x5a');
    std::string notice;
    auto journal = Open(&notice);
    ASSERT_TRUE(journal);
    EXPECT_NE(std::string::npos, notice.find("could not be read")) << notice;
    EXPECT_EQ(1u, SetAside().size());
    EXPECT_FALSE(journal->Newest());
    ASSERT_TRUE(journal->BeginCommand(CommandKind::Move, kNow));
    journal.reset();

    {
        int result = 0;
        std::string error;
        auto db = SqliteDatabase::Open(path, SQLITE_OPEN_READWRITE, result, error);
        ASSERT_TRUE(db);
        ASSERT_EQ(SQLITE_OK, db->Execute("PRAGMA user_version = 99"));
    }
    journal = Open(&notice);
    EXPECT_FALSE(journal);
    EXPECT_NE(std::string::npos, notice.find("was written by a newer version of Krelix")) << notice;
    EXPECT_EQ(1u, SetAside().size());
}

TEST_F(CommandJournalTest, AJournalThatCannotBeMadeSaysSoAndTheRecorderRecordsNothing) {
    tree.AddFile("state", "a file where the folder should be");
    std::string notice;
    EXPECT_FALSE(Open(&notice));
    EXPECT_NE(std::string::npos, notice.find("cannot be undone")) << notice;
    JournalRecorder recorder(nullptr, CommandKind::Recycle, kNow);
    EXPECT_EQ(0, recorder.Before(EntryAction::Recycled, tree.Path("x")));
    EXPECT_TRUE(recorder.failed());
    EXPECT_FALSE(recorder.recorded());
}

// A second journal on the same file stands for another program: it sees the command as running
// until the recorder finishes it, and can neither hold it nor take it for an interrupted one.
TEST_F(CommandJournalTest, ACommandIsRunningUntilItsRecorderFinishesIt) {
    std::unique_ptr<CommandJournal> running = Open();
    std::unique_ptr<CommandJournal> other = Open();
    {
        JournalRecorder recorder(running.get(), CommandKind::HardLink, kNow);
        ASSERT_NE(0, recorder.Before(EntryAction::Replaced, tree.Path("a"), tree.Path("a")));
        const std::optional<JournalCommand> seen = other->Newest();
        ASSERT_TRUE(seen);
        EXPECT_TRUE(seen->running);
        EXPECT_FALSE(seen->finished);
        EXPECT_TRUE(other->Interrupted().empty());
        EXPECT_FALSE(other->Hold(seen->id));
    }
    const std::optional<JournalCommand> ended = other->Newest();
    ASSERT_TRUE(ended);
    EXPECT_FALSE(ended->running);
    EXPECT_TRUE(ended->finished);
    std::optional<CommandLock> hold = other->Hold(ended->id);
    EXPECT_TRUE(hold);
    EXPECT_FALSE(running->Hold(ended->id)) << "an undo holds it now";
}

}  // namespace
}  // namespace krelix
